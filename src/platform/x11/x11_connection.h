// The window thread's connection to the X server and what hangs off it: the
// atoms and blank cursor the saver window uses, the pipe that wakes its
// message loop, and the process's one X error handler, which every X11 file
// of the backend relies on instead of setting handlers of its own.
#pragma once

#include <X11/Xlib.h>

#include "platform/x11/x11_window.h"

// The window thread's connection, null until X11Connect succeeds.
extern Display* x11Display;
extern X11MessageAtoms x11Atoms;
extern Cursor x11BlankCursor; // an empty 1 x 1 cursor

// Opens the connection on first use (main has set up Xlib's thread support,
// as the render thread opens its own), interns the atoms, makes the blank cursor and the wake
// pipe, and installs the error handler. Returns x11Display, null without a display.
Display* X11Connect();

// Wakes the message loop from any thread: one byte into the wake pipe.
void WakeX11Loop();
// Empties the wake pipe; the loop calls it before it looks at its queue.
void DrainX11Wake();
// The pipe's read end for poll, or -1 when there is none.
int X11WakeFd();

// Names a top-level window of ours for the window manager and the tools that
// list windows: its title, class hint (instance "brittleview"), our process
// id, and the close request (WM_DELETE_WINDOW) instead of a kill.
void X11NameWindow(Window window, const char* title, const char* className);

// While set (a preview runs), "window gone" errors of every connection are
// expected: the preview's parent may destroy it, and every window the render
// thread made inside it, at any time.
void SetX11ExpectWindowLoss(bool expected);

// Catches the X errors of one connection from construction to destruction:
// they are counted instead of reaching the default handler, which would end
// the process. Errors of the window thread's connection are always answers,
// never faults, and are dropped without a trap. One trap at a time per thread.
class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display); // syncs first: earlier errors are not caught
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;
    // Syncs and tells whether any error of the connection arrived since the trap was set.
    bool Caught();

  private:
    Display* display_;
    XErrorHandler saved_;
};
