// The window-system side of the saver-daemon mode: the window to draw in
// (another program's window, the root window, or a window of our own), the
// photograph a daemon left on that window, and what ends the run (a stop
// signal, the window's destruction, the window manager's close). Only the
// Linux backend has it; nothing on Windows calls it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/platform_types.h"

enum class DaemonWindowKind {
    kForeign, // a window of another program, named by its number
    kRoot,    // the root window, or the virtual root a window manager announces
    kOwn,     // an ordinary 1024 x 768 window titled "Brittleview"
};

struct DaemonWindow {
    WindowHandle window = 0; // where the GL surface goes
    bool isRoot = false;     // the screen's root or virtual root window
    int x = 0, y = 0;        // position on the screen
    int width = 0, height = 0;
};

// From now on SIGTERM, SIGINT and SIGHUP end PlatformWaitDaemonEnd (also when
// they come before it is called) instead of the process.
void PlatformCatchStopSignals();

// Connects to the display and resolves the window. A foreign window is checked
// to exist; kOwn creates and shows the window. False with a one-line *message
// when there is no display or no such window; nothing has been drawn then.
bool PlatformOpenDaemonWindow(DaemonWindowKind kind, uint64_t id, DaemonWindow* out,
                              std::string* message);

// The photograph a daemon stored on the window (the _SCREENSAVER_SCREENSHOT
// property), fitted to the window (see render/screenshot_fit.h) and scaled to
// width x height blue-green-red bytes, top row first. False when there is none
// or it cannot be read; the photograph itself is left to its owner.
bool PlatformReadDaemonScreenshot(int width, int height, uint8_t* out);

// Waits for a stop signal, the window's destruction or the window manager's
// close of our own window. Meanwhile each new size of the window is stored in
// *size as PackSize(width, height) (render/paced_render.h).
void PlatformWaitDaemonEnd(std::atomic<uint64_t>* size);

// Destroys our own window, if any, and closes the connection.
void PlatformCloseDaemonWindow();
