// The saver-daemon mode on X11 (the table's daemon entries, platform.h).
//
// The window thread's connection (x11_connection.h) selects structure events
// on the window the saver draws in, so it hears of that window's new sizes and
// of its destruction, and nothing else: no input is selected, nothing is
// grabbed, the pointer is left alone. The render thread's GL surface (a child
// window on the render thread's own connection) does the drawing.
//
// A daemon may destroy its window (and the child inside it) at any moment, and
// the requests still under way then fail: the window thread's connection drops
// its errors anyway, and the render thread's "window gone" errors are expected
// from openDaemonWindow on. Where an answer matters, X11ErrorTrap counts them.
//
// Stop signals go through a pipe (the handler writes one byte), which the
// wait polls together with the X connection. A step of the start may block
// for long (a server that does not answer, a slow file system): the first
// stop also sets a deadline, after which the process ends with 0 wherever it
// is, and a second stop ends it at once.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/daemon_window.h"
#include "platform/screenshot_fit.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_image.h"

void PlatformCloseDaemonWindow();

namespace {

int stopPipe[2] = {-1, -1};
volatile sig_atomic_t stopsSeen = 0;
constexpr suseconds_t kStopDeadlineMicros = 400000; // a stop ends the process within 0.5 s

Display* display = nullptr; // the window thread's connection, x11Display
Window target = 0;
Window ownWindow = 0;

void OnStopSignal(int)
{
    if (stopsSeen != 0)
        _exit(0);
    stopsSeen = 1;
    const int saved = errno;
    itimerval deadline = {{0, 0}, {0, kStopDeadlineMicros}};
    setitimer(ITIMER_REAL, &deadline, nullptr);
    if (stopPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
    }
    errno = saved;
}

void OnStopDeadline(int)
{
    _exit(0);
}

// The X server went away: the daemon that gave the window is gone with it,
// so this ends as quietly as the window's own end does.
int OnDisplayLost(Display*)
{
    _exit(0);
}

// A window id stored in a property of type WINDOW or PIXMAP, format 32, one item.
Window ReadIdProperty(Window window, Atom property, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window id = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        actualType == type && format == 32 && count == 1 && data)
        id = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return id;
}

// The virtual root a window manager announces with __SWM_VROOT on one of
// the root's children, or the root itself. A child that goes away while it
// is looked at is passed over; only a scan that cannot run falls back.
Window VirtualRoot(Window root)
{
    const Atom vroot = XInternAtom(display, "__SWM_VROOT", True);
    if (vroot == None)
        return root;
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parentReturn, &children, &count))
        return root;
    Window found = root;
    for (unsigned int i = 0; i < count && found == root; ++i) {
        X11ErrorTrap trap(display);
        const Window announced = ReadIdProperty(children[i], vroot, XA_WINDOW);
        if (announced != 0 && !trap.Caught())
            found = announced;
    }
    if (children)
        XFree(children);
    return found;
}

Window CreateOwnWindow(Window root)
{
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, root, 0, 0, 1024, 768, 0, BlackPixel(display, screen),
                            BlackPixel(display, screen));
    X11NameWindow(window, "Brittleview", "Brittleview");
    XMapWindow(display, window);
    return window;
}

// A visual to read a photograph of the given depth with: the window's own
// when the depths agree, else the screen's default, else any true-colour one.
const Visual* PhotoVisual(const XWindowAttributes& window, int depth)
{
    if (window.depth == depth)
        return window.visual;
    const int screen = XScreenNumberOfScreen(window.screen);
    if (DefaultDepth(display, screen) == depth)
        return DefaultVisual(display, screen);
    XVisualInfo info;
    if (XMatchVisualInfo(display, screen, depth, TrueColor, &info))
        return info.visual;
    return nullptr;
}

} // namespace

void PlatformCatchStopSignals()
{
    if (stopPipe[0] < 0 && pipe2(stopPipe, O_NONBLOCK | O_CLOEXEC) != 0)
        stopPipe[0] = stopPipe[1] = -1;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&action.sa_mask, signal);
    action.sa_handler = OnStopDeadline;
    sigaction(SIGALRM, &action, nullptr);
    action.sa_handler = OnStopSignal;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool PlatformOpenDaemonWindow(DaemonWindowKind kind, uint64_t id, DaemonWindow* out,
                              std::string* message)
{
    XSetIOErrorHandler(OnDisplayLost); // for the render thread's connection too
    display = X11Connect();
    if (!display) {
        const char* name = XDisplayName(nullptr);
        *message = std::string("cannot open display \"") + (name ? name : "") + "\"";
        return false;
    }
    const Window root = DefaultRootWindow(display);
    switch (kind) {
    case DaemonWindowKind::kForeign:
        target = static_cast<Window>(id);
        break;
    case DaemonWindowKind::kRoot:
        target = VirtualRoot(root);
        break;
    case DaemonWindowKind::kOwn:
        target = ownWindow = CreateOwnWindow(root);
        break;
    }
    // Listen first and look second, so that a window destroyed in between is
    // either reported missing here or heard of in the wait.
    XWindowAttributes attributes;
    bool exists = false;
    {
        X11ErrorTrap trap(display);
        XSelectInput(display, target, StructureNotifyMask);
        exists = XGetWindowAttributes(display, target, &attributes) != 0;
        exists = !trap.Caught() && exists;
    }
    if (!exists || attributes.c_class == InputOnly) {
        char text[96];
        std::snprintf(text, sizeof text,
                      exists ? "window 0x%lx is input-only: nothing can be drawn in it"
                             : "window 0x%lx does not exist",
                      target);
        *message = text;
        PlatformCloseDaemonWindow();
        return false;
    }
    // The daemon may take the window (and the surface inside it) away at any moment.
    SetX11ExpectWindowLoss(true);
    out->window = target;
    out->isRoot = target == attributes.root || kind == DaemonWindowKind::kRoot;
    out->width = attributes.width;
    out->height = attributes.height;
    return true;
}

bool PlatformReadDaemonScreenshot(int width, int height, uint8_t* out)
{
    if (!display || !target || width <= 0 || height <= 0)
        return false;
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", True);
    if (property == None)
        return false;
    XWindowAttributes attributes;
    Window child = 0;
    int x = 0, y = 0;
    Window pixmapRoot = 0;
    int px = 0, py = 0;
    unsigned int photoWidth = 0, photoHeight = 0, border = 0, depth = 0;
    Pixmap pixmap = 0;
    {
        // The photograph belongs to the daemon and may be freed at any time:
        // read it at once, and take any error as "no photograph".
        X11ErrorTrap trap(display);
        pixmap = ReadIdProperty(target, property, XA_PIXMAP);
        if (pixmap == 0 || !XGetWindowAttributes(display, target, &attributes) ||
            !XGetGeometry(display, pixmap, &pixmapRoot, &px, &py, &photoWidth, &photoHeight,
                          &border, &depth) ||
            photoWidth == 0 || photoHeight == 0) {
            return false;
        }
        XTranslateCoordinates(display, target, attributes.root, 0, 0, &x, &y, &child);
        if (trap.Caught())
            return false;
    }
    XImage* image = ReadX11ImageTrapped(display, pixmap, photoWidth, photoHeight);
    if (!image)
        return false;
    // The photograph is of the screen, not necessarily of the window's depth
    // (a daemon may give its saver a window with an alpha channel).
    X11ImageReader reader;
    const Visual* visual = PhotoVisual(attributes, static_cast<int>(depth));
    const bool readable =
        visual && InitX11ImageReader(display, image, visual, attributes.colormap, &reader);
    if (readable) {
        FittedScreenshot fitted;
        FitScreenshot(&reader, reader.read, static_cast<int>(photoWidth),
                      static_cast<int>(photoHeight), x, y, attributes.width, attributes.height,
                      &fitted);
        ScaleToBgr(&fitted, ReadFittedScreenshot, attributes.width, attributes.height, width,
                   height, out);
    }
    XDestroyImage(image);
    return readable;
}

void PlatformWaitDaemonEnd(std::atomic<uint64_t>* size)
{
    if (!display)
        return;
    const int connection = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ConfigureNotify && event.xconfigure.window == target) {
                size->store(PackSize(event.xconfigure.width, event.xconfigure.height),
                            std::memory_order_relaxed);
            } else if (event.type == DestroyNotify && event.xdestroywindow.window == target) {
                target = 0;
                if (ownWindow == event.xdestroywindow.window)
                    ownWindow = 0;
                return;
            } else if (event.type == ClientMessage && event.xclient.window == ownWindow &&
                       event.xclient.message_type == x11Atoms.protocols &&
                       event.xclient.format == 32 &&
                       static_cast<Atom>(event.xclient.data.l[0]) == x11Atoms.deleteWindow) {
                return;
            }
        }
        if (stopsSeen > 0)
            return;
        // Without a pipe a stop is seen by the flag, looked at every 50 ms.
        pollfd waits[2] = {{connection, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        const int count = stopPipe[0] >= 0 ? 2 : 1;
        if (poll(waits, count, count == 2 ? -1 : 50) < 0 && errno != EINTR)
            return;
        if (count == 2 && (waits[1].revents & POLLIN))
            return;
        if (waits[0].revents & (POLLERR | POLLHUP))
            return; // the display went away
    }
}

void PlatformCloseDaemonWindow()
{
    if (!display)
        return;
    if (ownWindow)
        XDestroyWindow(display, ownWindow);
    ownWindow = 0;
    target = 0;
    XSync(display, False); // the connection itself stays with x11_connection
}
