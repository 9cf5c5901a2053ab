#include "platform/x11/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

Display* x11Display = nullptr;
X11MessageAtoms x11Atoms = {None, None, None};
Cursor x11BlankCursor = None;

namespace {

int wakePipe[2] = {-1, -1};

// The traps' state, one per thread: an error is handled on the thread that
// reads its connection, so the window thread and the render thread may each
// hold a trap on their own connection at once.
thread_local Display* trappedDisplay = nullptr;
thread_local int trappedErrors = 0;
std::atomic<bool> expectWindowLoss{false};
// The handler that was in place before ours, for errors that are none of ours.
XErrorHandler chainedHandler = nullptr;

// The first error code of the GLX extension: the same on every connection to
// the server, so the window thread's connection asks for it.
int glxFirstError = -1;

// "Window gone" errors: BadWindow and BadDrawable; BadGC (the drawing library
// makes a GC for the window, which fails once the window is gone, and then
// frees it); and GLX's own codes for a drawable or window that is gone
// (BadDrawable 2, BadCurrentWindow 5, BadCurrentDrawable 11, BadWindow 12).
bool IsWindowGoneError(int code)
{
    if (code == BadWindow || code == BadDrawable || code == BadGC)
        return true;
    const int glx = code - glxFirstError;
    return glxFirstError > 0 && (glx == 2 || glx == 5 || glx == 11 || glx == 12);
}

// Errors of a trapped connection are counted; errors of the window thread's
// connection (a window number that names no window, a window that went away)
// are answers, not reasons to end the process; so are "window gone" errors of
// other connections while a preview runs. All other errors go on to whoever
// handled them before.
int HandleX11Error(Display* display, XErrorEvent* error)
{
    if (display == trappedDisplay) {
        ++trappedErrors;
        return 0;
    }
    if (display == x11Display)
        return 0;
    if (expectWindowLoss.load(std::memory_order_relaxed) && IsWindowGoneError(error->error_code))
        return 0;
    return chainedHandler != nullptr ? chainedHandler(display, error) : 0;
}

// Puts HandleX11Error in place and returns the handler it replaced.
XErrorHandler InstallHandler()
{
    const XErrorHandler previous = XSetErrorHandler(HandleX11Error);
    if (previous != HandleX11Error)
        chainedHandler = previous;
    return previous;
}

} // namespace

Display* X11Connect()
{
    if (x11Display != nullptr)
        return x11Display;
    x11Display = XOpenDisplay(nullptr); // Xlib's thread support is set up by main
    if (x11Display == nullptr)
        return nullptr;
    int glxOpcode = 0, glxFirstEvent = 0;
    if (!XQueryExtension(x11Display, "GLX", &glxOpcode, &glxFirstEvent, &glxFirstError))
        glxFirstError = -1;
    InstallHandler();
    x11Atoms.protocols = XInternAtom(x11Display, "WM_PROTOCOLS", False);
    x11Atoms.deleteWindow = XInternAtom(x11Display, "WM_DELETE_WINDOW", False);
    x11Atoms.windowMessage = XInternAtom(x11Display, kX11MessageAtomName, False);
    if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
        wakePipe[0] = wakePipe[1] = -1;
    const char noBits[1] = {0};
    const Window root = DefaultRootWindow(x11Display);
    const Pixmap empty = XCreateBitmapFromData(x11Display, root, noBits, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof black);
    x11BlankCursor = XCreatePixmapCursor(x11Display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(x11Display, empty);
    return x11Display;
}

void WakeX11Loop()
{
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    }
}

void DrainX11Wake()
{
    char buffer[64];
    while (wakePipe[0] >= 0 && read(wakePipe[0], buffer, sizeof buffer) > 0) {
    }
}

int X11WakeFd()
{
    return wakePipe[0];
}

void SetX11ExpectWindowLoss(bool expected)
{
    expectWindowLoss.store(expected, std::memory_order_relaxed);
}

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display)
{
    XSync(display_, False);
    trappedErrors = 0;
    trappedDisplay = display_;
    saved_ = InstallHandler();
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(display_, False);
    trappedDisplay = nullptr;
    XSetErrorHandler(saved_);
}

bool X11ErrorTrap::Caught()
{
    XSync(display_, False);
    return trappedErrors != 0;
}

void X11NameWindow(Window window, const char* title, const char* className)
{
    XStoreName(x11Display, window, title);
    char instanceName[] = "brittleview";
    std::string classCopy = className;
    XClassHint hint = {instanceName, classCopy.data()};
    XSetClassHint(x11Display, window, &hint);
    XSetWMProtocols(x11Display, window, &x11Atoms.deleteWindow, 1);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(x11Display, window, XInternAtom(x11Display, "_NET_WM_PID", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
}
