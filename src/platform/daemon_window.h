// The vocabulary of the saver-daemon mode's platform functions (platform.h):
// which window to draw in, what is known of it, and how its size travels.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

enum class DaemonWindowKind {
    kForeign, // a window of another program, named by its number
    kRoot,    // the root window, or the virtual root a window manager announces
    kOwn,     // an ordinary 1024 x 768 window titled "Brittleview"
};

struct DaemonWindow {
    WindowHandle window = 0; // where the GL surface goes
    bool isRoot = false;     // the screen's root or virtual root window
    int width = 0, height = 0;
};

// A window size in one word, so that it can be handed between threads at once.
inline uint64_t PackSize(int width, int height)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(width)) << 32 |
           static_cast<uint32_t>(height);
}
