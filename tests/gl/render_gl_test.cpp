// The render path drawn for real with Mesa on the X display.
#include "gl_fixture.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/persistence.h"
#include "core/pixel_format.h"
#include "core/saver_window_proc.h"
#include "core/settings.h"
#include "host/win_messages.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

// The program is linked into this test, so its GL calls land here first; while
// recording, each is noted in `calls` and then handed on to the real libGL:
// 'Q' quads begun, 'N' a normal facing the viewer, 'n' any other normal, 'V' a vertex.
namespace {
bool recording = false;
std::string calls;
template <typename F> F Real(F, const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" {
void glBegin(GLenum mode)
{
    static auto real = Real(glBegin, "glBegin");
    calls += !recording ? "" : mode == GL_QUADS ? "Q" : "?";
    real(mode);
}
void glNormal3fv(const GLfloat* v)
{
    static auto real = Real(glNormal3fv, "glNormal3fv");
    calls += !recording ? "" : v[0] == 0 && v[1] == 0 && v[2] > 0 ? "N" : "n";
    real(v);
}
void glVertex3fv(const GLfloat* v)
{
    static auto real = Real(glVertex3fv, "glVertex3fv");
    calls += recording ? "V" : "";
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

void WaveDefaults(int textureWidth, int goraud = 1)
{
    SetDefaultSettings();
    Settings.Mode = 1;
    Settings.screenTextureWidth = textureWidth;
    Settings.xyGoraud = goraud;
}
} // namespace

TEST(RenderGl, FirstWaveFrameAtTheDefaultsSends432QuadsWithANormalPerQuadOrPerCorner)
{
    GlWindow window(320, 240);
    ASSERT_TRUE(window.ok());
    for (int goraud : {0, 1}) {
        WaveDefaults(512, goraud);
        SetupScene();
        CreateScreenTexture();
        calls.clear();
        recording = true;
        DrawFrame(nullptr);
        recording = false;
        std::string expected = "Q";
        for (int q = 0; q < 432; ++q)
            expected += goraud ? "NVNVNVNV" : "NVVVV";
        if (goraud) // the smoothed normals of the far row and column are zero
            std::replace(calls.begin() + 2, calls.end(), 'n', 'N');
        EXPECT_EQ(calls, expected) << "xyGoraud " << goraud;
    }
}

TEST(RenderGl, TheDesktopShowsUprightInTheFirstFrameAndAMissingOneAsPlainWhite)
{
    PaintRootQuadrants();
    WaveDefaults(301); // 301 * 3 bytes per row is not a multiple of 4
    Settings.screenTextureHeight = 157;
    Settings.useLinear = 1;
    CaptureDesktop(); // before the window exists, as the saver does
    ASSERT_NE(desktopPixels, nullptr);
    EXPECT_EQ(desktopPixels[0] | desktopPixels[1] << 8 | desktopPixels[2] << 16, 0xFF0000)
        << "the top-left pixel comes first, as blue, green, red";
    GlWindow window(400, 300);
    ASSERT_TRUE(window.ok());
    for (bool picture : {true, false}) {
        SCOPED_TRACE(picture ? "desktop picture" : "no picture");
        SetupScene();
        CreateScreenTexture();
        EXPECT_EQ(desktopPixels, nullptr);
        frameCounter = 0;
        DrawFrame(window.surface());
        // Quadrants of the plane 80 and 60 pixels off the window's centre show
        // red, green, blue, white (or all white), a corner the black clear colour.
        const int points[5][2] = {{120, 90}, {280, 90}, {120, 210}, {280, 210}, {0, 0}};
        const int bright[5] = {4, 2, 1, 7, 0}; // red 4 + green 2 + blue 1 above 60 of 255
        for (int i = 0; i < 5; ++i) {
            const int rgb = window.ShownPixel(points[i][0], points[i][1]);
            const int shown =
                ((rgb >> 16 & 255) > 60) * 4 + ((rgb >> 8 & 255) > 60) * 2 + ((rgb & 255) > 60);
            EXPECT_EQ(shown, picture || i == 4 ? bright[i] : 7) << i << ": " << std::hex << rgb;
            EXPECT_TRUE(picture || rgb == (rgb & 255) * 0x010101)
                << "plain grey " << std::hex << rgb;
        }
        GLint minFilter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(minFilter, picture ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
        if (picture) {
            // No picture for sizes that are not positive or absurdly large.
            for (int width : {0, -5, 100000}) {
                WaveDefaults(width);
                CaptureDesktop();
                EXPECT_EQ(desktopPixels, nullptr) << width;
            }
        }
    }
}

TEST(RenderGl, GlxSeamAndSaverWindowProcWorkOnAPlainWindowWithoutXErrors)
{
    xErrors = 0;
    XErrorHandler previous = XSetErrorHandler(CountXError);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);

    // The surface lists Mesa llvmpipe's formats up to the first missing number.
    GlSurface* surface = OpenGlSurface(static_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);
    PixelFormatRecord record{};
    int number = 1;
    for (; DescribeGlFormat(surface, number, &record); ++number)
        EXPECT_EQ(record.tier, PixelFormatTier::GenericSoftware) << number;
    EXPECT_GT(number, 1);
    EXPECT_FALSE(SetGlFormat(surface, number));
    EXPECT_FALSE(CreateGlContext(surface)) << "no format set yet";
    // The fallback gives a double-buffered context with a depth buffer, once.
    ASSERT_TRUE(SetFallbackGlFormat(surface, kFallbackPixelFormat));
    EXPECT_FALSE(SetGlFormat(surface, 1));
    ASSERT_TRUE(CreateGlContext(surface));
    GLint doubleBuffered = 0, depth = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_TRUE(doubleBuffered == GL_TRUE && depth >= 16) << doubleBuffered << ", " << depth;
    CloseGlSurface(surface);

    // The saver window procedure draws on its own thread with the stored
    // settings (a private store with a wave mode) and joins it on destroy.
    const std::string home = ::testing::TempDir() + "render_gl_" + std::to_string(getpid());
    std::filesystem::create_directories(home);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    SetDefaultSettings();
    Settings.Mode = 2;
    Settings.Priority = 0;
    SaveSettings();
    for (int round = 0; round < 2; ++round) {
        const uint32_t before = frameCounter;
        SaverWindowProc(static_cast<WindowHandle>(window), kWmCreate, 0, 0);
        EXPECT_EQ(Settings.Mode, 2);
        for (int i = 0; i < 2000 && frameCounter - before < 5; ++i) // bounded wait for frames
            usleep(5000);
        EXPECT_GE(frameCounter - before, 5u);
        SaverWindowProc(static_cast<WindowHandle>(window), kWmDestroy, 0, 0);
        EXPECT_EQ(renderThreadHandle, nullptr);
        const uint32_t stopped = frameCounter;
        usleep(50000);
        EXPECT_EQ(frameCounter, stopped) << "the thread has ended";
        EXPECT_EQ(desktopPixels, nullptr);
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    XFree(children);
    EXPECT_EQ(count, 0u) << "the GL child windows are gone";
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    XSetErrorHandler(previous);
    EXPECT_EQ(xErrors, 0);
    std::filesystem::remove_all(home);
}
