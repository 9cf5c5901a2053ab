#include "render/fps_overlay.h"

#include <cstdint>
#include <cstdio>

namespace {

// 5 x 7 glyphs, one byte per row, top row first, bit 4 the leftmost pixel.
struct Glyph {
    char character;
    uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
};

// Every pixel of a glyph is drawn as a 2 x 2 block.
constexpr int kScale = 2;
constexpr int kGlyphWidth = 5 * kScale;
constexpr int kGlyphHeight = 7 * kScale;
constexpr int kAdvance = kGlyphWidth + 2;
constexpr int kMargin = 8;

} // namespace

void FpsOverlay::Release()
{
    if (listBase_ != 0)
        glDeleteLists(listBase_, 128);
    listBase_ = 0;
}

void FpsOverlay::Create()
{
    listBase_ = glGenLists(128);
    if (listBase_ == 0)
        return;
    // Characters without a glyph (the blank among them) only advance.
    for (int c = 0; c < 128; ++c) {
        glNewList(listBase_ + c, GL_COMPILE);
        glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(kAdvance), 0.0f, nullptr);
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const Glyph& glyph : kGlyphs) {
        // Two bytes a row, bottom row first, most significant bit leftmost.
        GLubyte bitmap[kGlyphHeight * 2] = {};
        for (int y = 0; y < kGlyphHeight; ++y) {
            const uint8_t row = glyph.rows[6 - y / kScale];
            uint16_t bits = 0;
            for (int x = 0; x < kGlyphWidth; ++x) {
                if (row & (0x10 >> (x / kScale)))
                    bits |= static_cast<uint16_t>(0x8000u >> x);
            }
            bitmap[y * 2] = static_cast<GLubyte>(bits >> 8);
            bitmap[y * 2 + 1] = static_cast<GLubyte>(bits & 0xFF);
        }
        glNewList(listBase_ + static_cast<GLuint>(glyph.character), GL_COMPILE);
        glBitmap(kGlyphWidth, kGlyphHeight, 0.0f, 0.0f, static_cast<GLfloat>(kAdvance), 0.0f,
                 bitmap);
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void FpsOverlay::CountFrame(double seconds)
{
    if (windowStart_ < 0.0) {
        windowStart_ = seconds;
        return;
    }
    ++framesInWindow_;
    const double elapsed = seconds - windowStart_;
    if (elapsed >= 1.0) {
        std::snprintf(text_, sizeof text_, "FPS: %.1f", framesInWindow_ / elapsed);
        windowStart_ = seconds;
        framesInWindow_ = 0;
    }
}

void FpsOverlay::Draw(int width, int height) const
{
    if (listBase_ == 0 || width <= 0 || height <= 0)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT | GL_LIST_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glListBase(listBase_);
    GLsizei length = 0;
    while (text_[length] != '\0')
        ++length;
    // A dark shadow one block down and right keeps the text readable on any picture.
    glColor3f(0.0f, 0.0f, 0.0f);
    glRasterPos2i(kMargin + kScale, kMargin - kScale);
    glCallLists(length, GL_UNSIGNED_BYTE, text_);
    glColor3f(1.0f, 1.0f, 0.4f);
    glRasterPos2i(kMargin, kMargin);
    glCallLists(length, GL_UNSIGNED_BYTE, text_);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
