// Explode pieces drawn with Mesa: the trail a piece sends, caught in OpenGL's
// feedback mode, and whole cycles through the real frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/piece.h"
#include "gl/gl_fixture.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

struct Vertex { // as GL_3D_COLOR_TEXTURE feedback gives it
    float x, y, z, r, g, b, a, s, t, p, q;
};
struct Primitive {
    GLenum token;
    std::vector<Vertex> vertices;
};

class ExplodeGl : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.ok());
        SetDefaultSettings();
        ClearPieces();
        glEnable(GL_CULL_FACE);
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, kWidth, 0, kHeight, -200, 200); // a scene unit is a pixel
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override { TeardownScene(); }

    // What DrawPiece sends. Mesa cannot replay a list of mixed primitives in
    // feedback mode, so the box is compiled afresh during each capture.
    static std::vector<Primitive> Capture(Piece* piece)
    {
        glDeleteLists(piece->displayList, 1);
        piece->displayList = 0;
        std::vector<GLfloat> buffer(100000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawPiece(piece);
        const int count = glRenderMode(GL_RENDER);
        EXPECT_GE(count, 0) << "feedback buffer overflow";
        std::vector<Primitive> out;
        for (int at = 0; at < count;) {
            Primitive primitive{static_cast<GLenum>(buffer[at++]), {}};
            const int n = primitive.token == GL_POLYGON_TOKEN ? static_cast<int>(buffer[at++]) : 1;
            primitive.vertices.resize(n);
            std::memcpy(primitive.vertices.data(), &buffer[at], n * sizeof(Vertex));
            at += n * 11;
            out.push_back(primitive);
        }
        return out;
    }

    GlWindow window{kWidth, kHeight};
};

TEST_F(ExplodeGl, AFlyingPieceDrawsItsTrailOldestFirstInAGreyRamp)
{
    // Stand-in clouds: list i is one point i / 5 units above the trail point,
    // so each point's position tells the list it came from.
    const GLuint base = glGenLists(kSparkleListCount);
    for (int i = 0; i < kSparkleListCount; ++i) {
        SparkleLists[i] = base + i;
        glNewList(base + i, GL_COMPILE);
        glBegin(GL_POINTS);
        glVertex3f(0, i * 0.2f, 0);
        glEnd();
        glEndList();
    }
    Piece piece;
    piece.launched = true;
    piece.resting = false;
    piece.position.set(300, 200, 0);
    for (int slot = 0; slot < kTrailLength; ++slot)
        piece.trail[slot].set(10.0f + 20.0f * slot, 5.0f, 0.0f);
    Settings.useTrails = 1;
    const struct {
        int head;
        std::vector<long> slots;
    } heads[] = {{0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
                 {5, {6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4}}};
    for (const auto& h : heads) {
        SCOPED_TRACE(::testing::Message() << "head " << h.head);
        piece.trailHead = h.head;
        glColor3f(0.3f, 0.6f, 0.9f);
        const std::vector<Primitive> primitives = Capture(&piece);
        std::vector<long> slots;
        for (const Primitive& primitive : primitives) {
            if (primitive.token != GL_POINT_TOKEN)
                continue;
            const Vertex& v = primitive.vertices[0];
            const long age = static_cast<long>(slots.size()) + 1;
            slots.push_back(std::lround((v.x - 10.0f) / 20.0f));
            EXPECT_NEAR(v.r, age / 15.0f, 1e-3) << "age " << age;
            EXPECT_NEAR(v.b, age / 15.0f, 1e-3) << "age " << age;
            const long list = std::lround((v.y - 5.0f) / 0.2f);
            EXPECT_GE(list, 66 * age);
            EXPECT_LT(list, 66 * age + 66);
        }
        EXPECT_EQ(slots, h.slots);
        // The box comes last, in white again.
        ASSERT_EQ(primitives.back().token, static_cast<GLenum>(GL_POLYGON_TOKEN));
        EXPECT_EQ(primitives.back().vertices[0].b, 1.0f);
    }

    // No trail while trails are off, nor for a resting piece.
    for (const bool resting : {false, true}) {
        Settings.useTrails = resting ? 1 : 0;
        piece.resting = resting;
        for (const Primitive& primitive : Capture(&piece))
            EXPECT_EQ(primitive.token, static_cast<GLenum>(GL_POLYGON_TOKEN)) << resting;
    }
}

TEST_F(ExplodeGl, CyclesStartFromTheIntactDesktopAndLeaveNothingBehind)
{
    Settings.x_div = 6;
    Settings.y_div = 4;
    Settings.genChildren = 2;
    Settings.useTrails = 1;
    Settings.enableMovement = 0; // a fixed camera, so frames can be compared
    // A desktop picture in which every piece shows something different.
    const int w = Settings.screenTextureWidth, h = Settings.screenTextureHeight;
    ReleaseDesktopPixels();
    desktopPixels = new uint8_t[CaptureByteCount(w, h)];
    for (size_t i = 0; i < CaptureByteCount(w, h); ++i)
        desktopPixels[i] = static_cast<uint8_t>(i * 7 / 3);
    SetupScene();
    CreateScreenTexture();
    SeedRandom(31337);

    GLuint highest = 0;
    for (GLuint list : SparkleLists)
        highest = std::max(highest, list);
    // Live display lists besides the sparkle clouds and those of the pieces.
    auto leaked = [&] {
        int live = -kSparkleListCount;
        for (const Piece* p : pieces) {
            highest = std::max(highest, static_cast<GLuint>(p->displayList));
            live -= p->displayList != 0 ? 1 : 0;
        }
        for (GLuint name = 1; name <= highest + 64; ++name)
            live += glIsList(name) ? 1 : 0;
        return live;
    };
    auto fresh = [] {
        return pieces.size() == 24u &&
               std::none_of(pieces.begin(), pieces.end(), [](const Piece* p) {
                   return p->launched || p->generation != 0 || p->displayList != 0;
               });
    };
    std::string output;
    auto frame = [&](bool read) {
        ::testing::internal::CaptureStdout();
        DrawFrame(nullptr);
        output += ::testing::internal::GetCapturedStdout();
        std::vector<uint8_t> picture;
        if (read)
            picture = window.ReadPixels();
        SwapGlBuffers(window.surface());
        return picture;
    };

    ASSERT_TRUE(fresh());
    const std::vector<uint8_t> intact = frame(true);
    EXPECT_TRUE(std::none_of(pieces.begin(), pieces.end(),
                             [](const Piece* p) { return p->displayList == 0; }));
    // The plane fills the middle of the view and leaves its corners black.
    const uint8_t* middle = &intact[(kHeight / 2 * kWidth + kWidth / 2) * 3];
    EXPECT_GT(middle[0] + middle[1] + middle[2], 0);
    EXPECT_EQ(intact[0] + intact[1] + intact[2], 0);

    int cycles = 0, deepest = 0;
    for (int frames = 0; cycles < 8 && frames < 50000; ++frames) {
        // Each piece drawn and still alive holds one list; removed ones took theirs.
        ASSERT_EQ(leaked(), 0) << "frame " << frames;
        for (const Piece* p : pieces)
            deepest = std::max(deepest, p->generation);
        if (!fresh()) {
            frame(false);
            continue;
        }
        EXPECT_EQ(livePieceCount, 24) << "no piece outside the list";
        ++cycles;
        EXPECT_EQ(frame(true), intact) << "cycle " << cycles;
    }
    ASSERT_EQ(cycles, 8);
    EXPECT_EQ(deepest, 3) << "children, grandchildren and great-grandchildren flew";
    std::string restarts;
    for (int i = 0; i < 8; ++i)
        restarts += "All are done.!\n";
    EXPECT_EQ(output, restarts) << "one line a restart, and no failed child";
}

} // namespace
