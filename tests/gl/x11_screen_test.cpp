// The root-window capture on X servers of other depths: each test starts a
// private Xvfb of the depth it needs, paints the root window and captures it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/screen.h"

namespace {

// A private Xvfb; DISPLAY points at it while the object lives.
class PrivateServer {
  public:
    explicit PrivateServer(const std::string& screen)
    {
        if (const char* old = std::getenv("DISPLAY"))
            previous_ = old;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            freopen("/dev/null", "w", stderr); // its start-up chatter
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number and a newline once it listens.
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty() || c != '\n')
            return;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        ok_ = true;
    }
    ~PrivateServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (!previous_.empty())
            setenv("DISPLAY", previous_.c_str(), 1);
    }
    bool ok() const { return ok_; }

  private:
    pid_t pid_ = -1;
    bool ok_ = false;
    std::string previous_;
};

// Red top left, green top right, blue bottom left, white bottom right,
// with colours allocated the way the visual needs them.
void PaintQuadrants()
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int w = DisplayWidth(display, screen), h = DisplayHeight(display, screen);
    GC gc = XCreateGC(display, root, 0, nullptr);
    const unsigned short colours[4][3] = {
        {0xFFFF, 0, 0}, {0, 0xFFFF, 0}, {0, 0, 0xFFFF}, {0xFFFF, 0xFFFF, 0xFFFF}};
    for (int q = 0; q < 4; ++q) {
        XColor colour{};
        colour.red = colours[q][0];
        colour.green = colours[q][1];
        colour.blue = colours[q][2];
        colour.flags = DoRed | DoGreen | DoBlue;
        ASSERT_TRUE(XAllocColor(display, DefaultColormap(display, screen), &colour));
        XSetForeground(display, gc, colour.pixel);
        XFillRectangle(display, root, gc, (q % 2) * (w / 2), (q / 2) * (h / 2), w - w / 2,
                       h - h / 2);
    }
    XFreeGC(display, gc);
    XSync(display, False);
    XCloseDisplay(display);
}

void ExpectQuadrants(const std::vector<uint8_t>& bgr, int w, int h)
{
    auto pixel = [&](int x, int y) {
        const size_t i = (static_cast<size_t>(y) * w + x) * 3;
        return std::vector<int>{bgr[i], bgr[i + 1], bgr[i + 2]};
    };
    EXPECT_EQ(pixel(0, 0), (std::vector<int>{0, 0, 255}));             // red
    EXPECT_EQ(pixel(w - 1, 0), (std::vector<int>{0, 255, 0}));         // green
    EXPECT_EQ(pixel(0, h - 1), (std::vector<int>{255, 0, 0}));         // blue
    EXPECT_EQ(pixel(w - 1, h - 1), (std::vector<int>{255, 255, 255})); // white
}

void CaptureAtDepth(const std::string& screen)
{
    PrivateServer server(screen);
    ASSERT_TRUE(server.ok()) << "Xvfb " << screen;
    PaintQuadrants();
    int width = 0, height = 0;
    GetPrimaryScreenSize(&width, &height);
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 120);
    for (auto size : {std::pair{64, 32}, std::pair{160, 120}, std::pair{301, 7}}) {
        std::vector<uint8_t> bgr(static_cast<size_t>(size.first) * size.second * 3, 0x55);
        ASSERT_TRUE(CapturePrimaryScreen(size.first, size.second, bgr.data()));
        ExpectQuadrants(bgr, size.first, size.second);
    }
}

} // namespace

TEST(X11Screen, CapturesTrueColourAt24And16Bits)
{
    CaptureAtDepth("160x120x24");
    CaptureAtDepth("160x120x16");
}

TEST(X11Screen, CapturesAColourMappedScreenThroughItsPalette)
{
    CaptureAtDepth("160x120x8");
}

TEST(X11Screen, RefusesSizesItCannotFill)
{
    uint8_t byte = 0;
    EXPECT_FALSE(CapturePrimaryScreen(0, 10, &byte));
    EXPECT_FALSE(CapturePrimaryScreen(10, -1, &byte));
    EXPECT_FALSE(CapturePrimaryScreen(10, 10, nullptr));
}
