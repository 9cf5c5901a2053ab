// The render path drawn for real with Mesa on the X display.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/persistence.h"
#include "core/pixel_format.h"
#include "core/render_thread.h"
#include "core/saver_window_proc.h"
#include "core/settings.h"
#include "gl_fixture.h"
#include "host/win_messages.h"
#include "platform/thread.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

// Calls of the per-vertex functions, in the order the program made them.
// The program is linked statically into this test, so its calls land here
// first; each is recorded and handed on to the real libGL.
namespace {
bool recording = false;
std::string calls; // 'N' normal, 'T' texture coordinate, 'V' vertex
std::vector<float> normals;
template <typename F> F Real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" {
void glNormal3fv(const GLfloat* v)
{
    static auto real = Real<void (*)(const GLfloat*)>("glNormal3fv");
    if (recording) {
        calls += 'N';
        normals.insert(normals.end(), v, v + 3);
    }
    real(v);
}
void glTexCoord2f(GLfloat s, GLfloat t)
{
    static auto real = Real<void (*)(GLfloat, GLfloat)>("glTexCoord2f");
    if (recording)
        calls += 'T';
    real(s, t);
}
void glVertex3fv(const GLfloat* v)
{
    static auto real = Real<void (*)(const GLfloat*)>("glVertex3fv");
    if (recording)
        calls += 'V';
    real(v);
}
}

namespace {

int xErrors = 0;
int CountXError(Display*, XErrorEvent*)
{
    ++xErrors;
    return 0;
}

// Paints the root window in four quadrants (red top left, green top right,
// blue bottom left, white bottom right) so that the capture has a known picture.
void PaintRootQuadrants()
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int w = DisplayWidth(display, screen), h = DisplayHeight(display, screen);
    const Pixmap pixmap = XCreatePixmap(display, root, w, h, DefaultDepth(display, screen));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    const unsigned long colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    for (int q = 0; q < 4; ++q) {
        XSetForeground(display, gc, colours[q]);
        XFillRectangle(display, pixmap, gc, (q % 2) * (w / 2), (q / 2) * (h / 2), w - w / 2,
                       h - h / 2);
    }
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    XSync(display, False);
    XCloseDisplay(display);
}

struct Rgb {
    int r, g, b;
};
// A pixel of a top-row-first RGB image.
Rgb At(const std::vector<uint8_t>& rgb, int width, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void WaveDefaults()
{
    SetDefaultSettings();
    Settings.Mode = 1;
}

} // namespace

TEST(RenderGl, FirstWaveFrameAtTheDefaultsSends432QuadsWithNormalsAsSmoothingAsks)
{
    GlWindow window(320, 240);
    ASSERT_TRUE(window.ok());
    for (int goraud : {0, 1}) {
        WaveDefaults();
        Settings.xyGoraud = goraud;
        SetupScene();
        CreateScreenTexture();
        // Shrink the view so that no quad is clipped by the window's edges.
        CameraState.scale = 0.2f;

        std::vector<GLfloat> feedback(1 << 20);
        glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
        glRenderMode(GL_FEEDBACK);
        calls.clear();
        normals.clear();
        recording = true;
        DrawFrame(nullptr);
        recording = false;
        const GLint used = glRenderMode(GL_RENDER);
        ASSERT_GT(used, 0);

        // Mesa reports each quad as one polygon of 4 or as two triangles.
        int polygons3 = 0, polygons4 = 0, other = 0;
        for (GLint i = 0; i < used;) {
            const GLint token = static_cast<GLint>(feedback[i]);
            if (token == GL_POLYGON_TOKEN) {
                const int n = static_cast<int>(feedback[i + 1]);
                (n == 3 ? polygons3 : n == 4 ? polygons4 : other)++;
                i += 2 + n * 3;
            } else {
                ++other;
                break;
            }
        }
        EXPECT_EQ(other, 0);
        EXPECT_TRUE((polygons4 == 432 && polygons3 == 0) || (polygons3 == 864 && polygons4 == 0))
            << polygons4 << " quads, " << polygons3 << " triangles";

        // Per corner: [normal] texture coordinate, vertex.
        std::string expected;
        for (int q = 0; q < 432; ++q)
            expected += goraud ? "NTVNTVNTVNTV" : "NTVTVTVTV";
        EXPECT_EQ(calls, expected) << "xyGoraud " << goraud;
        // The flat grid's normals face the viewer (the last row's corners send zero).
        ASSERT_GT(normals.size(), 3u);
        EXPECT_EQ(normals[0], 0.0f);
        EXPECT_EQ(normals[1], 0.0f);
        EXPECT_GT(normals[2], 0.0f);
    }
}

TEST(RenderGl, CapturedDesktopShowsUprightInTheFirstFrame)
{
    PaintRootQuadrants();
    WaveDefaults();
    Settings.xyGoraud = 0;
    CaptureDesktop(); // before the window exists, as the saver does
    ASSERT_NE(desktopPixels, nullptr);
    // Byte 0 is the top-left pixel: red as blue, green, red bytes.
    EXPECT_EQ(desktopPixels[0], 0x00);
    EXPECT_EQ(desktopPixels[1], 0x00);
    EXPECT_EQ(desktopPixels[2], 0xFF);

    GlWindow window(400, 300);
    ASSERT_TRUE(window.ok());
    SetupScene();
    CreateScreenTexture();
    EXPECT_EQ(desktopPixels, nullptr);
    frameCounter = 0;
    DrawFrame(window.surface());
    const auto rgb = window.ReadWindow();
    ASSERT_FALSE(rgb.empty());

    // Sample each quadrant of the plane, a fifth of the window from its centre.
    const int w = window.width(), h = window.height();
    const int left = w / 2 - w / 5, right = w / 2 + w / 5, top = h / 2 - h / 5,
              bottom = h / 2 + h / 5;
    const Rgb topLeft = At(rgb, w, left, top);
    const Rgb topRight = At(rgb, w, right, top);
    const Rgb bottomLeft = At(rgb, w, left, bottom);
    const Rgb bottomRight = At(rgb, w, right, bottom);
    EXPECT_GT(topLeft.r, 60);
    EXPECT_LT(topLeft.g, topLeft.r / 2);
    EXPECT_LT(topLeft.b, topLeft.r / 2);
    EXPECT_GT(topRight.g, 60);
    EXPECT_LT(topRight.r, topRight.g / 2);
    EXPECT_GT(bottomLeft.b, 60);
    EXPECT_LT(bottomLeft.r, bottomLeft.b / 2);
    EXPECT_GT(bottomRight.r, 60);
    EXPECT_GT(bottomRight.g, 60);
    EXPECT_GT(bottomRight.b, 60);
    // Outside the plane the clear colour shows.
    const Rgb corner = At(rgb, w, 0, 0);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
}

TEST(RenderGl, WithoutAPictureThePlaneIsPlainLitWhite)
{
    PaintRootQuadrants();
    for (int width : {0, -5, 100000}) {
        WaveDefaults();
        Settings.screenTextureWidth = width;
        CaptureDesktop();
        EXPECT_EQ(desktopPixels, nullptr) << width;
    }
    WaveDefaults();
    Settings.screenTextureWidth = 0;
    GlWindow window(200, 150);
    ASSERT_TRUE(window.ok());
    SetupScene();
    CreateScreenTexture();
    DrawFrame(window.surface());
    const auto rgb = window.ReadWindow();
    ASSERT_FALSE(rgb.empty());
    const Rgb p = At(rgb, 200, 100 - 40, 75 - 30);
    EXPECT_GT(p.r, 60);
    EXPECT_EQ(p.r, p.g);
    EXPECT_EQ(p.g, p.b);
}

TEST(RenderGl, OddTextureWidthsUploadWithTightRows)
{
    // 301 * 3 bytes per row is not a multiple of 4.
    PaintRootQuadrants();
    WaveDefaults();
    Settings.screenTextureWidth = 301;
    Settings.screenTextureHeight = 157;
    Settings.useLinear = 1;
    CaptureDesktop();
    ASSERT_NE(desktopPixels, nullptr);
    GlWindow window(200, 150);
    ASSERT_TRUE(window.ok());
    SetupScene();
    CreateScreenTexture();
    GLint width = 0, height = 0, minFilter = 0, alignment = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(alignment, 4);
    // Read the texture back: the top-left texel is red, the bottom-right white.
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], 0xFF);
    EXPECT_EQ(texels[1], 0x00);
    const size_t last = texels.size() - 3;
    EXPECT_EQ(texels[last], 0xFF);
    EXPECT_EQ(texels[last + 1], 0xFF);
    EXPECT_EQ(texels[last + 2], 0xFF);
}

TEST(RenderGl, SaverWindowProcDrawsOnItsOwnThreadAndJoinsItOnDestroy)
{
    // Settings come from a private store with a wave mode in it.
    const std::string home = ::testing::TempDir() + "render_gl_" + std::to_string(getpid());
    std::filesystem::create_directories(home);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    SetDefaultSettings();
    Settings.Mode = 2;
    Settings.Priority = 0;
    SaveSettings();

    xErrors = 0;
    XErrorHandler previous = XSetErrorHandler(CountXError);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);

    for (int round = 0; round < 2; ++round) {
        const uint32_t before = frameCounter;
        SaverWindowProc(static_cast<WindowHandle>(window), kWmCreate, 0, 0);
        EXPECT_EQ(Settings.Mode, 2);
        EXPECT_EQ(renderRunning.load(), 1);
        ASSERT_NE(renderThreadHandle, nullptr);
        // Wait (bounded) until a few frames have been drawn.
        for (int i = 0; i < 2000 && frameCounter - before < 5; ++i)
            usleep(5000);
        EXPECT_GE(frameCounter - before, 5u);

        SaverWindowProc(static_cast<WindowHandle>(window), kWmDestroy, 0, 0);
        EXPECT_EQ(renderRunning.load(), 0);
        EXPECT_EQ(renderThreadHandle, nullptr);
        const uint32_t stopped = frameCounter;
        usleep(50000);
        EXPECT_EQ(frameCounter, stopped); // the thread has ended
        EXPECT_EQ(desktopPixels, nullptr);
    }
    // The GL child window is gone with the thread.
    Window rootReturn, parentReturn, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, window, &rootReturn, &parentReturn, &children, &count);
    if (children)
        XFree(children);
    EXPECT_EQ(count, 0u);
    XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    XSetErrorHandler(previous);
    EXPECT_EQ(xErrors, 0);
    std::filesystem::remove_all(home);
}

TEST(GlxSurface, ListsSoftwareFormatsAndEndsTheListAtTheFirstMissingNumber)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 64, 48, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);

    GlSurface* surface = OpenGlSurface(static_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);
    PixelFormatRecord record{};
    EXPECT_FALSE(DescribeGlFormat(surface, 0, &record));
    int count = 0, candidates = 0;
    while (DescribeGlFormat(surface, count + 1, &record)) {
        ++count;
        // Xvfb renders with Mesa's llvmpipe: every format is the generic software tier.
        EXPECT_EQ(record.tier, PixelFormatTier::GenericSoftware) << count;
        candidates += PixelFormatScore(record) > 0;
    }
    EXPECT_GT(count, 0);
    EXPECT_GT(candidates, 0);
    EXPECT_FALSE(SetGlFormat(surface, count + 1));
    EXPECT_FALSE(CreateGlContext(surface)); // no format set yet

    // The fallback request gives a double-buffered context with a depth buffer.
    ASSERT_TRUE(SetFallbackGlFormat(surface, kFallbackPixelFormat));
    EXPECT_FALSE(SetGlFormat(surface, 1)); // a window's format is set once
    ASSERT_TRUE(CreateGlContext(surface));
    GLint doubleBuffered = 0, depth = 0, red = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_RED_BITS, &red);
    EXPECT_EQ(doubleBuffered, GL_TRUE);
    EXPECT_GE(depth, 16);
    EXPECT_GE(red, 8);
    int w = 0, h = 0;
    GetGlClientSize(surface, &w, &h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    CloseGlSurface(surface);
    CloseGlSurface(nullptr);
    EXPECT_EQ(OpenGlSurface(0), nullptr);

    XDestroyWindow(display, window);
    XCloseDisplay(display);
}
