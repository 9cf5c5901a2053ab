#include "host/daemon_host.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"
#include "host/daemon_picture.h"
#include "platform/platform.h"
#include "platform/screen.h"
#include "platform/thread.h"
#include "render/capture.h"
#include "render/own_picture.h"
#include "render/paced_render.h"
#include "render/render_thread.h"

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "brittleview: %s\n", message.c_str());
    return 255;
}

// The daemon's per-user settings, or nothing when there are none. Only a
// regular file is read, without blocking and only its first kMaxDaemonSettings
// bytes: a pipe or a device in its place must not hold up the start.
std::string ReadDaemonSettings()
{
    constexpr size_t kMaxDaemonSettings = size_t{1} << 20;
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return std::string();
    const int fd = open((std::string(home) + "/.xscreensaver").c_str(),
                        O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::string();
    std::string text;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.resize(kMaxDaemonSettings);
        size_t got = 0;
        for (ssize_t n; got < text.size() && (n = read(fd, &text[got], text.size() - got)) != 0;) {
            if (n < 0 && errno != EINTR)
                break;
            got += n > 0 ? static_cast<size_t>(n) : 0;
        }
        text.resize(got);
    }
    close(fd);
    return text;
}

bool TrySource(PictureSource source, const DaemonOptions& options, int width, int height,
               uint8_t* buffer)
{
    switch (source) {
    case PictureSource::kScreenshot:
        return platform.readDaemonScreenshot(width, height, buffer);
    case PictureSource::kRootCapture:
        // The window we draw in is the root, and the render thread makes its
        // child there only once the picture is ready: this is the desktop as
        // the user left it.
        return CapturePrimaryScreen(width, height, buffer);
    case PictureSource::kImageFile: {
        std::string message;
        if (platform.loadPictureFile(options.imagePath.c_str(), width, height, buffer, &message))
            return true;
        std::fprintf(stderr, "brittleview: %s: %s; drawing the program's own picture\n",
                     options.imagePath.c_str(), message.c_str());
        return false;
    }
    case PictureSource::kOwnPicture:
        DrawOwnPicture(width, height, buffer);
        return true;
    }
    return false;
}

// Fills desktopPixels from the first source that gives a picture.
void PreparePicture(const DaemonOptions& options, const DaemonWindow& window)
{
    FillDesktopPixels([&](int width, int height, uint8_t* buffer) {
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        const bool onWayland = wayland && *wayland;
        if (onWayland)
            std::fprintf(stderr,
                         "brittleview: a Wayland session cannot be photographed; drawing %s "
                         "instead of the desktop\n",
                         options.imagePath.empty() ? "the program's own picture"
                                                   : "the --image file");
        const PictureChoice choice = {!onWayland && DesktopImagesAllowed(ReadDaemonSettings()),
                                      window.isRoot, !options.imagePath.empty()};
        PictureSource order[4];
        const int count = PictureOrder(choice, order);
        for (int i = 0; i < count; ++i) {
            if (TrySource(order[i], options, width, height, buffer))
                return true;
        }
        return false;
    });
}

} // namespace

int RunDaemonHost(const DaemonOptions& options, DaemonRunReport* report)
{
    // Before anything else, so that a stop that comes early still ends the run cleanly.
    platform.catchStopSignals();
    DaemonTarget target;
    std::string message;
    if (!ChooseDaemonTarget(options, std::getenv("XSCREENSAVER_WINDOW"), &target, &message))
        return Fail(message);

    LoadSettings();
    ApplyDaemonOptions(options, &Settings);

    DaemonWindow window;
    if (!platform.openDaemonWindow(target.kind, target.windowId, &window, &message))
        return Fail(message);

    // The render thread loads the GL driver while the picture is being made.
    PacedRender render;
    render.window = window.window;
    render.delayMicros = options.delayMicros;
    render.showFps = options.showFps;
    renderRunning.store(1, std::memory_order_relaxed);
    PlatformThread* thread = StartPlatformThread(PacedRenderThread, &render);
    int level = 0;
    if (thread && PriorityLevelFor(Settings.Priority, &level))
        SetPlatformThreadPriority(thread, level);
    PreparePicture(options, window);
    render.pictureReady.store(true, std::memory_order_release);
    render.pictureReady.notify_all();

    platform.waitDaemonEnd(&render.size);

    renderRunning.store(0, std::memory_order_relaxed);
    JoinPlatformThread(thread);
    ReleaseDesktopPixels(); // when the thread never took the picture
    if (report)
        report->firstFrameNanos = render.firstFrameNanos.load(std::memory_order_relaxed);
    platform.closeDaemonWindow();
    return 0;
}
