// The render path drawn for real with Mesa on the X display.
#include "gl_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/piece.h"
#include "geometry/wave.h"
#include "host/saver_window_proc.h"
#include "platform/win_messages.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {
int xErrors = 0;
} // namespace

TEST(RenderGl, FirstWaveFrameShowsTheDesktopUprightOrPlainWhite)
{
    PaintRootQuadrants();
    SetDefaultSettings();
    Settings.Mode = 1;
    Settings.screenTextureWidth = 301; // 301 * 3 bytes per row is not a multiple of 4
    Settings.screenTextureHeight = 157;
    Settings.useLinear = 1;
    CaptureDesktop(); // before the window exists, as the saver does
    ASSERT_NE(desktopPixels, nullptr);
    GlWindow window(400, 300);
    ASSERT_TRUE(window.ok());
    for (bool picture : {true, false}) {
        SCOPED_TRACE(picture ? "desktop picture" : "no picture");
        SetupScene();
        CreateScreenTexture();
        EXPECT_EQ(desktopPixels, nullptr);
        Settings.xyGoraud = picture ? 0 : 1;
        frameCounter = 0;
        DrawFrame(nullptr); // no swap: the back buffer holds the frame
        const std::vector<uint8_t> shown = window.ReadPixels();
        // Quadrants of the plane 80 and 60 pixels off the window's centre show
        // red, green, blue, white (or all white), a corner the black clear colour.
        const int points[5][2] = {{120, 90}, {280, 90}, {120, 210}, {280, 210}, {0, 0}};
        const int bright[5] = {4, 2, 1, 7, 0}; // red 4 + green 2 + blue 1 above 60 of 255
        for (int i = 0; i < 5; ++i) {
            const uint8_t* p = &shown[((299 - points[i][1]) * 400 + points[i][0]) * 3];
            EXPECT_EQ((p[0] > 60) * 4 + (p[1] > 60) * 2 + (p[2] > 60),
                      picture || i == 4 ? bright[i] : 7)
                << i << ": " << +p[0] << ", " << +p[1] << ", " << +p[2];
        }
        const GLuint texture = ScreenTexture;
        TeardownScene(); // the scene leaves nothing behind
        EXPECT_TRUE(pieces.empty() && livePieceCount == 0 && !gridVertices && !frameCounter);
        EXPECT_TRUE(!glIsTexture(texture) && SparkleCloudSize[999] == 0);
        Settings.useLinear = 0;
    }
}

TEST(RenderGl, SaverWindowProcDrawsAndStopsOnAPlainWindowWithoutXErrors)
{
    xErrors = 0;
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return ++xErrors; });
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);

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
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    XSetErrorHandler(previous);
    EXPECT_EQ(xErrors, 0);
    std::filesystem::remove_all(home);
}
