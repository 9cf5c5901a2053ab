// The saver window on X11.
//
// The "class" is the window procedure handed to PlatformRegisterSaverClass.
// The process has one saver window at a time. Its X events are translated into
// Win32-numbered messages and handed to that procedure; messages posted with
// PlatformPostMessage wait in a queue of our own that the loop drains between
// X events. A pipe wakes the loop when something is posted or a quit is asked.
//
// A full-screen window is override-redirect (no window manager frames or
// moves it), stays raised, grabs keyboard and pointer once brought forward, and
// carries WM_NAME "Screen Saver" and WM_CLASS "WindowsScreenSaverClass" so that
// a second start can find it among the root window's children.
//
// A preview is a plain child of the window named on the command line. It never
// grabs anything. What it forwards to its parent (right click, help) reaches
// that other client as a ClientMessage of type _BRITTLEVIEW_WINDOW_MESSAGE,
// format 32, with l[0] = message number, l[1] = wParam, l[2] = lParam.

#include "platform/window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>

#include "host/win_messages.h"
#include "platform/x11/x11_window.h"

// X event -> message, the one table of this mapping:
//
// | X event                                        | message          | wParam, lParam          |
// |------------------------------------------------|------------------|-------------------------|
// | KeyPress, no Alt held and not an Alt key       | WM_KEYDOWN       | keysym, 0               |
// | KeyPress with Alt (Mod1) held, or an Alt key   | WM_SYSKEYDOWN    | keysym, 0               |
// | KeyPress of F1                                 | then also WM_HELP| 0, 0                    |
// | ButtonPress 1 (left)                           | WM_LBUTTONDOWN   | 0, x,y in the window    |
// | ButtonPress 2 (middle)                         | WM_MBUTTONDOWN   | 0, x,y                  |
// | ButtonPress 3 (right)                          | WM_RBUTTONDOWN   | 0, x,y                  |
// | ButtonPress 4 to 7 (wheel), 8 and up (side)    | none             |                         |
// | ButtonRelease 3                                | WM_CONTEXTMENU   | window, x,y on screen   |
// | KeyRelease, other ButtonRelease                | none             |                         |
// | MotionNotify                                   | WM_MOUSEMOVE     | 0, x,y in the window    |
// | FocusOut to a window of another client         | WM_ACTIVATEAPP   | 0, 0                    |
// | Expose, last of a series (count 0)             | WM_PAINT         | 0, 0                    |
// | ClientMessage WM_PROTOCOLS / WM_DELETE_WINDOW  | WM_CLOSE         | 0, 0                    |
// | ClientMessage _BRITTLEVIEW_WINDOW_MESSAGE      | l[0]             | l[1], l[2]              |
// | DestroyNotify when the parent took it along    | WM_DESTROY       | 0, 0 (see HandleEvent)  |
// | anything else                                  | none             |                         |
//
// The mouse test of the host reads the pointer itself (PlatformGetCursorPos);
// the coordinates in lParam are only for completeness.
int TranslateX11Event(const XEvent& event, const X11EventContext& context,
                      const X11MessageAtoms& atoms, TranslatedMessage out[2])
{
    switch (event.type) {
    case KeyPress: {
        const KeySym key = context.keysym;
        const bool alt = (event.xkey.state & Mod1Mask) != 0 || key == XK_Alt_L || key == XK_Alt_R ||
                         key == XK_Meta_L || key == XK_Meta_R;
        out[0] = {alt ? kWmSysKeyDown : kWmKeyDown, static_cast<WParam>(key), 0};
        if (key == XK_F1) {
            out[1] = {kWmHelp, 0, 0};
            return 2;
        }
        return 1;
    }
    case ButtonPress: {
        const LParam point = MakePointLParam(event.xbutton.x, event.xbutton.y);
        switch (event.xbutton.button) {
        case Button1:
            out[0] = {kWmLButtonDown, 0, point};
            return 1;
        case Button2:
            out[0] = {kWmMButtonDown, 0, point};
            return 1;
        case Button3:
            out[0] = {kWmRButtonDown, 0, point};
            return 1;
        default:
            return 0;
        }
    }
    case ButtonRelease:
        if (event.xbutton.button != Button3)
            return 0;
        out[0] = {kWmContextMenu, static_cast<WParam>(event.xbutton.window),
                  MakePointLParam(event.xbutton.x_root, event.xbutton.y_root)};
        return 1;
    case MotionNotify:
        out[0] = {kWmMouseMove, 0, MakePointLParam(event.xmotion.x, event.xmotion.y)};
        return 1;
    case FocusOut:
        // Grab and ungrab notifications are our own doing; an inferior getting the
        // focus keeps it inside the window.
        if (event.xfocus.mode != NotifyNormal && event.xfocus.mode != NotifyWhileGrabbed)
            return 0;
        if (event.xfocus.detail == NotifyInferior || !context.focusLeftClient)
            return 0;
        out[0] = {kWmActivateApp, 0, 0};
        return 1;
    case Expose:
        if (event.xexpose.count != 0)
            return 0;
        out[0] = {kWmPaint, 0, 0};
        return 1;
    case ClientMessage:
        if (event.xclient.format != 32)
            return 0;
        if (event.xclient.message_type == atoms.protocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == atoms.deleteWindow) {
            out[0] = {kWmClose, 0, 0};
            return 1;
        }
        if (event.xclient.message_type == atoms.windowMessage) {
            out[0] = {static_cast<uint32_t>(event.xclient.data.l[0]),
                      static_cast<WParam>(event.xclient.data.l[1]),
                      static_cast<LParam>(event.xclient.data.l[2])};
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

namespace {

// The connection of the window thread, opened on first use.
Display* display = nullptr;
X11MessageAtoms atoms = {None, None, None};
Cursor blankCursor = None;
int wakePipe[2] = {-1, -1};
XErrorHandler previousErrorHandler = nullptr;

// The class: the procedure every message of the saver window goes to.
WindowProcedure classProc = nullptr;

// The one saver window of the process.
struct SaverX11Window {
    Window id = 0;
    bool alive = false;
};
SaverX11Window saver;
// Whether the window is a preview; atomic for the error handler, which may run on the render
// thread.
std::atomic<bool> saverIsPreview{false};

struct PostedMessage {
    WindowHandle window;
    uint32_t message;
    WParam wParam;
    LParam lParam;
};
std::mutex queueMutex;
std::deque<PostedMessage> postedMessages; // guarded by queueMutex
bool quitPosted = false;                  // guarded by queueMutex
int quitCode = 0;                         // guarded by queueMutex

// Errors on our connection (a window number that names no window, a window
// that went away) are answers, not reasons to end the process. So are "window
// gone" errors of other connections while a preview runs: its parent may
// destroy it (and every window the render thread made inside it) at any time,
// and the render thread may still draw its last frame before the window
// thread hears of it. Among them are BadGC (the drawing library makes a GC for
// the window, which fails once the window is gone, and then frees it) and
// GLX's own codes for a drawable or window that is gone (BadDrawable 2,
// BadCurrentWindow 5, BadCurrentDrawable 11, BadWindow 12, counted from the
// extension's first error, which is the same on every connection to the
// server). All other errors go to whoever handled them before.
int glxFirstError = -1;

bool IsWindowGoneError(int code)
{
    if (code == BadWindow || code == BadDrawable || code == BadGC)
        return true;
    const int glx = code - glxFirstError;
    return glxFirstError > 0 && (glx == 2 || glx == 5 || glx == 11 || glx == 12);
}

int TrapX11Error(Display* errorDisplay, XErrorEvent* error)
{
    if (errorDisplay == display)
        return 0;
    if (saverIsPreview.load(std::memory_order_relaxed) && IsWindowGoneError(error->error_code))
        return 0;
    return previousErrorHandler != nullptr ? previousErrorHandler(errorDisplay, error) : 0;
}

void Wake()
{
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    }
}

void DrainWakePipe()
{
    char buffer[64];
    while (wakePipe[0] >= 0 && read(wakePipe[0], buffer, sizeof buffer) > 0) {
    }
}

Display* EnsureDisplay()
{
    if (display != nullptr)
        return display;
    XInitThreads();
    display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return nullptr;
    int glxOpcode = 0, glxFirstEvent = 0;
    if (!XQueryExtension(display, "GLX", &glxOpcode, &glxFirstEvent, &glxFirstError))
        glxFirstError = -1;
    previousErrorHandler = XSetErrorHandler(TrapX11Error);
    atoms.protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    atoms.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    atoms.windowMessage = XInternAtom(display, kX11MessageAtomName, False);
    if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
        wakePipe[0] = wakePipe[1] = -1;
    const char noBits[1] = {0};
    const Window root = DefaultRootWindow(display);
    const Pixmap empty = XCreateBitmapFromData(display, root, noBits, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof black);
    blankCursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return display;
}

bool WindowExists(Window window, XWindowAttributes* attributes)
{
    XWindowAttributes local;
    return window != 0 && XGetWindowAttributes(display, window, attributes ? attributes : &local);
}

bool IsOurs(WindowHandle window)
{
    return saver.alive && window == saver.id;
}

MessageResult Deliver(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (!IsOurs(window) || classProc == nullptr)
        return 0;
    return classProc(window, message, wParam, lParam);
}

// Destroys the saver window the Win32 way: WM_DESTROY through the whole chain
// first (the program stops its render thread there), then the X window.
void DestroySaverWindow()
{
    const Window id = saver.id;
    Deliver(id, kWmDestroy, 0, 0);
    saver.alive = false;
    XDestroyWindow(display, id); // its grabs end with it
    XSync(display, False);
}

void GrabInput(Window window)
{
    // Another client may hold a grab for a moment (a key still held down, a menu);
    // try for about half a second and run without the grab after that.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) ==
            GrabSuccess)
            break;
        usleep(10000);
    }
    const unsigned int pointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (XGrabPointer(display, window, True, pointerEvents, GrabModeAsync, GrabModeAsync, None,
                         None, CurrentTime) == GrabSuccess)
            break;
        usleep(10000);
    }
}

bool FocusLeftClient()
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == PointerRoot)
        return false; // the keyboard follows the pointer, which our window covers
    return focus != saver.id;
}

void HandleEvent(XEvent& event)
{
    if (event.type == DestroyNotify) {
        // The parent of a preview took our window with it: the program still has
        // to hear of it, and the loop has to end.
        if (event.xdestroywindow.window == saver.id && saver.alive) {
            Deliver(saver.id, kWmDestroy, 0, 0);
            saver.alive = false;
        }
        return;
    }
    if (!saver.alive || event.xany.window != saver.id)
        return;
    X11EventContext context = {NoSymbol, false};
    if (event.type == KeyPress)
        context.keysym = XLookupKeysym(&event.xkey, 0);
    if (event.type == FocusOut)
        context.focusLeftClient = FocusLeftClient();
    TranslatedMessage messages[2];
    const int count = TranslateX11Event(event, context, atoms, messages);
    for (int i = 0; i < count; ++i)
        Deliver(saver.id, messages[i].message, messages[i].wParam, messages[i].lParam);
}

} // namespace

bool PlatformRegisterSaverClass(uintptr_t, WindowProcedure proc)
{
    if (EnsureDisplay() == nullptr || proc == nullptr)
        return false;
    classProc = proc;
    return true;
}

WindowHandle PlatformCreateSaverWindow(uint32_t exStyle, const char* title, uint32_t style, int x,
                                       int y, int width, int height, WindowHandle parent, uintptr_t)
{
    (void)exStyle; // the full-screen window stays on top by being override-redirect
    if (EnsureDisplay() == nullptr || classProc == nullptr || saver.alive)
        return 0;
    const bool child = (style & kWsChild) != 0 && parent != 0;
    const Window xParent = parent != 0 ? static_cast<Window>(parent) : DefaultRootWindow(display);
    if (parent != 0 && !WindowExists(xParent, nullptr))
        return 0;

    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.override_redirect = child ? False : True;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | ExposureMask | FocusChangeMask |
                            StructureNotifyMask;
    const unsigned long mask = CWBackPixel | CWOverrideRedirect | CWEventMask;
    const Window id =
        XCreateWindow(display, xParent, x, y, width > 0 ? width : 1, height > 0 ? height : 1, 0,
                      CopyFromParent, InputOutput, CopyFromParent, mask, &attributes);
    if (id == 0)
        return 0;

    XStoreName(display, id, title != nullptr ? title : "");
    char className[] = "WindowsScreenSaverClass";
    char instanceName[] = "brittleview";
    XClassHint hint = {instanceName, className};
    XSetClassHint(display, id, &hint);
    XSetWMProtocols(display, id, &atoms.deleteWindow, 1);
    const long pid = static_cast<long>(getpid());
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XChangeProperty(display, id, pidAtom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XSync(display, False);
    // A parent that went away just before the window was made leaves no window
    // (the error is trapped) and would never send the DestroyNotify that ends the loop.
    if (!WindowExists(id, nullptr))
        return 0;

    saver.id = id;
    saverIsPreview.store(child, std::memory_order_relaxed);
    saver.alive = true;

    // WM_CREATE comes before the window is ever shown, so that whatever the
    // program does there (photograph the desktop) does not see the saver.
    if (Deliver(id, kWmCreate, 0, 0) == -1) {
        DestroySaverWindow();
        return 0;
    }
    if (!saver.alive)
        return 0;
    if ((style & kWsVisible) != 0) {
        Deliver(id, kWmShowWindow, 1, 0);
        XMapRaised(display, id);
        XSync(display, False);
    }
    return id;
}

int PlatformRunMessageLoop()
{
    if (display == nullptr)
        return -1;
    const int connection = ConnectionNumber(display);
    for (;;) {
        DrainWakePipe();
        PostedMessage posted{};
        bool havePosted = false;
        {
            std::lock_guard<std::mutex> lock(queueMutex);
            if (!postedMessages.empty()) {
                posted = postedMessages.front();
                postedMessages.pop_front();
                havePosted = true;
            } else if (quitPosted) {
                quitPosted = false;
                return quitCode;
            }
        }
        if (havePosted) {
            Deliver(posted.window, posted.message, posted.wParam, posted.lParam);
            continue;
        }
        if (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(event);
            continue;
        }
        pollfd waits[2] = {{connection, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        poll(waits, wakePipe[0] >= 0 ? 2 : 1, 100);
    }
}

void PlatformPostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (window == saver.id && saver.id != 0) {
        {
            std::lock_guard<std::mutex> lock(queueMutex);
            postedMessages.push_back({window, message, wParam, lParam});
        }
        Wake();
        return;
    }
    if (EnsureDisplay() == nullptr || !WindowExists(static_cast<Window>(window), nullptr))
        return;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = atoms.windowMessage;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(message);
    event.xclient.data.l[1] = static_cast<long>(wParam);
    event.xclient.data.l[2] = static_cast<long>(lParam);
    XSendEvent(display, static_cast<Window>(window), False, NoEventMask, &event);
    XFlush(display);
}

MessageResult PlatformSendMessage(WindowHandle window, uint32_t message, WParam wParam,
                                  LParam lParam)
{
    return Deliver(window, message, wParam, lParam);
}

void PlatformPostQuitMessage(int code)
{
    {
        std::lock_guard<std::mutex> lock(queueMutex);
        quitPosted = true;
        quitCode = code;
    }
    Wake();
}

MessageResult PlatformDefWindowProc(WindowHandle window, uint32_t message, WParam, LParam)
{
    if (message == kWmClose && IsOurs(window))
        DestroySaverWindow();
    return 0;
}

bool PlatformRemoveMessage(WindowHandle window, uint32_t first, uint32_t last)
{
    std::lock_guard<std::mutex> lock(queueMutex);
    for (auto it = postedMessages.begin(); it != postedMessages.end(); ++it) {
        if (it->window == window && it->message >= first && it->message <= last) {
            postedMessages.erase(it);
            return true;
        }
    }
    return false;
}

ScreenPoint PlatformGetCursorPos()
{
    if (EnsureDisplay() == nullptr)
        return {0, 0};
    Window rootReturn = None;
    Window childReturn = None;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    XQueryPointer(display, DefaultRootWindow(display), &rootReturn, &childReturn, &rootX, &rootY,
                  &windowX, &windowY, &buttons);
    return {rootX, rootY};
}

void PlatformHideCursor()
{
    if (display == nullptr || !saver.alive)
        return;
    XDefineCursor(display, saver.id, blankCursor);
    XFlush(display);
}

WindowHandle PlatformFindWindow(const char* className, const char* title)
{
    if (EnsureDisplay() == nullptr)
        return 0;
    Window rootReturn = None;
    Window parentReturn = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parentReturn, &children,
                    &count))
        return 0;
    WindowHandle found = 0;
    for (unsigned int i = count; i-- > 0 && found == 0;) { // top of the stack first
        XClassHint hint = {nullptr, nullptr};
        bool classMatches = className == nullptr;
        if (!classMatches && XGetClassHint(display, children[i], &hint)) {
            classMatches = hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        if (!classMatches)
            continue;
        char* name = nullptr;
        bool titleMatches = title == nullptr;
        if (!titleMatches && XFetchName(display, children[i], &name) && name != nullptr)
            titleMatches = std::strcmp(name, title) == 0;
        if (name != nullptr)
            XFree(name);
        if (titleMatches)
            found = children[i];
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

void PlatformSetForegroundWindow(WindowHandle window)
{
    XWindowAttributes attributes;
    if (EnsureDisplay() == nullptr || !WindowExists(static_cast<Window>(window), &attributes))
        return;
    XRaiseWindow(display, static_cast<Window>(window));
    if (attributes.map_state == IsViewable)
        XSetInputFocus(display, static_cast<Window>(window), RevertToParent, CurrentTime);
    if (IsOurs(window) && !saverIsPreview.load(std::memory_order_relaxed) &&
        attributes.map_state == IsViewable)
        GrabInput(static_cast<Window>(window));
    XSync(display, False);
}

WindowHandle PlatformGetForegroundWindow()
{
    if (EnsureDisplay() == nullptr)
        return 0;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == None || focus == PointerRoot)
        return 0;
    return focus;
}

bool PlatformIsWindow(WindowHandle window)
{
    return window != 0 && EnsureDisplay() != nullptr &&
           WindowExists(static_cast<Window>(window), nullptr);
}

WindowHandle PlatformGetParent(WindowHandle window)
{
    if (window == 0 || EnsureDisplay() == nullptr)
        return 0;
    Window rootReturn = None;
    Window parentReturn = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, static_cast<Window>(window), &rootReturn, &parentReturn, &children,
                    &count))
        return 0;
    if (children != nullptr)
        XFree(children);
    return parentReturn == rootReturn ? 0 : parentReturn;
}

bool PlatformGetClientSize(WindowHandle window, int* width, int* height)
{
    XWindowAttributes attributes;
    if (EnsureDisplay() == nullptr || !WindowExists(static_cast<Window>(window), &attributes))
        return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

ScreenRect PlatformGetScreenClipBox()
{
    if (EnsureDisplay() == nullptr)
        return {0, 0, 0, 0};
    const int screen = DefaultScreen(display);
    return {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}
