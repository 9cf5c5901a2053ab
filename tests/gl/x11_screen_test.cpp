// The root-window capture on X servers of other depths, each a private Xvfb.
#include "gl_fixture.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/screen.h"

TEST(X11Screen, CapturesTrueColourAndColourMappedScreensAtAnySize)
{
    const std::string display = std::getenv("DISPLAY");
    for (const std::string screen : {"160x120x24", "160x120x16", "160x120x8"}) {
        // The shell prints its process number and becomes the server, which
        // prints its display number once it listens.
        const std::string command = "exec 2>/dev/null; echo $$; exec Xvfb -displayfd 1 -noreset "
                                    "-nolisten tcp -screen 0 " +
                                    screen;
        FILE* server = popen(command.c_str(), "r");
        int pid = 0, number = -1;
        ASSERT_TRUE(server && std::fscanf(server, "%d %d", &pid, &number) == 2) << screen;
        char name[16];
        std::snprintf(name, sizeof name, ":%d", number);
        setenv("DISPLAY", name, 1);
        PaintRootQuadrants();
        int width = 0, height = 0;
        GetPrimaryScreenSize(&width, &height);
        EXPECT_EQ(width * 1000 + height, 160120) << screen;
        for (auto [w, h] : {std::pair{64, 32}, std::pair{160, 120}, std::pair{301, 7}}) {
            std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3, 0x55);
            EXPECT_TRUE(CapturePrimaryScreen(w, h, bgr.data()));
            // The corners' blue, green, red bytes: red, green, blue, white.
            const size_t corners[4] = {0, w - 1u, (h - 1u) * w, h * w - 1u};
            const int expected[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
            for (int i = 0; i < 4; ++i) {
                const uint8_t* p = &bgr[corners[i] * 3];
                EXPECT_EQ(p[0] << 16 | p[1] << 8 | p[2], expected[i])
                    << screen << " at " << w << " x " << h << ", corner " << i;
            }
        }
        uint8_t byte = 0;
        EXPECT_FALSE(CapturePrimaryScreen(0, 10, &byte));
        EXPECT_FALSE(CapturePrimaryScreen(10, -1, &byte));
        EXPECT_FALSE(CapturePrimaryScreen(10, 10, nullptr));
        kill(pid, SIGTERM);
        pclose(server);
        setenv("DISPLAY", display.c_str(), 1);
    }
}
