// The render thread of the saver-daemon mode: the saver window's render loop
// (render_thread.cpp) with a pause after each frame, the frame rate drawn on
// request, and a surface that follows the size of the window it draws in. It
// runs while renderRunning is set.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/daemon_window.h"
#include "platform/platform_types.h"

struct PacedRender {
    WindowHandle window = 0; // the window the GL surface goes into
    long delayMicros = 0;    // pause after each frame; 0: only yield
    bool showFps = false;    // write the frame rate in a corner
    // The window's size as the window thread last heard of it, packed by
    // PackSize (platform/daemon_window.h); 0 while unknown. The thread resizes its surface to
    // follow.
    std::atomic<uint64_t> size{0};
    // Set (and notified) by the window thread once desktopPixels holds the
    // picture. The thread connects to the display and loads the GL driver
    // meanwhile, but makes no window before it: a photograph of the root
    // window must not show the surface.
    std::atomic<bool> pictureReady{false};
    // Steady-clock nanoseconds at which the first frame was presented; 0 before.
    std::atomic<int64_t> firstFrameNanos{0};
};

// Steady-clock nanoseconds, the clock of firstFrameNanos.
int64_t SteadyNanos();

// Thread entry; the argument is a PacedRender that outlives the thread.
void PacedRenderThread(void* argument);
