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

#include "platform/platform.h"
#include "platform/posted_messages.h"
#include "platform/window_styles.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

#include "platform/win_messages.h"
#include "platform/x11/x11_connection.h"
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

// The class: the procedure every message of the saver window goes to.
WindowProcedure classProc = nullptr;

// The one saver window of the process.
struct SaverX11Window {
    Window id = 0;
    bool alive = false;
};
SaverX11Window saver;
// Whether the window is a preview.
bool saverIsPreview = false;

PostedMessages posted;

bool WindowExists(Window window, XWindowAttributes* attributes)
{
    XWindowAttributes local;
    return window != 0 &&
           XGetWindowAttributes(x11Display, window, attributes ? attributes : &local);
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
    XDestroyWindow(x11Display, id); // its grabs end with it
    XSync(x11Display, False);
}

void GrabInput(Window window)
{
    // Another client may hold a grab for a moment (a key still held down, a menu);
    // try for about half a second and run without the grab after that.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (XGrabKeyboard(x11Display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) ==
            GrabSuccess)
            break;
        usleep(10000);
    }
    const unsigned int pointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (XGrabPointer(x11Display, window, True, pointerEvents, GrabModeAsync, GrabModeAsync,
                         None, None, CurrentTime) == GrabSuccess)
            break;
        usleep(10000);
    }
}

bool FocusLeftClient()
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x11Display, &focus, &revert);
    if (focus == PointerRoot)
        return false; // the keyboard follows the pointer, which our window covers
    // No window at all is no other client either. A compositor's X window
    // manager (Xwayland) puts the focus back to None when a client sets it while
    // no X window has the compositor's keyboard focus; our grab still gets the keys.
    if (focus == None)
        return false;
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
    const int count = TranslateX11Event(event, context, x11Atoms, messages);
    for (int i = 0; i < count; ++i)
        Deliver(saver.id, messages[i].message, messages[i].wParam, messages[i].lParam);
}

} // namespace

bool PlatformRegisterSaverClass(uintptr_t, WindowProcedure proc)
{
    if (X11Connect() == nullptr || proc == nullptr)
        return false;
    classProc = proc;
    return true;
}

WindowHandle PlatformCreateSaverWindow(uint32_t exStyle, const char* title, uint32_t style, int x,
                                       int y, int width, int height, WindowHandle parent, uintptr_t)
{
    (void)exStyle; // the full-screen window stays on top by being override-redirect
    if (X11Connect() == nullptr || classProc == nullptr || saver.alive)
        return 0;
    const bool child = (style & kWsChild) != 0 && parent != 0;
    const Window xParent =
        parent != 0 ? static_cast<Window>(parent) : DefaultRootWindow(x11Display);
    if (parent != 0 && !WindowExists(xParent, nullptr))
        return 0;

    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.background_pixel = BlackPixel(x11Display, DefaultScreen(x11Display));
    attributes.override_redirect = child ? False : True;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | ExposureMask | FocusChangeMask |
                            StructureNotifyMask;
    const unsigned long mask = CWBackPixel | CWOverrideRedirect | CWEventMask;
    const Window id =
        XCreateWindow(x11Display, xParent, x, y, width > 0 ? width : 1, height > 0 ? height : 1, 0,
                      CopyFromParent, InputOutput, CopyFromParent, mask, &attributes);
    if (id == 0)
        return 0;

    X11NameWindow(id, title != nullptr ? title : "", "WindowsScreenSaverClass");
    XSync(x11Display, False);
    // A parent that went away just before the window was made leaves no window
    // (the error is trapped) and would never send the DestroyNotify that ends the loop.
    if (!WindowExists(id, nullptr))
        return 0;

    saver.id = id;
    saverIsPreview = child;
    SetX11ExpectWindowLoss(child);
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
        XMapRaised(x11Display, id);
        XSync(x11Display, False);
    }
    return id;
}

int PlatformRunMessageLoop()
{
    if (x11Display == nullptr)
        return -1;
    const int connection = ConnectionNumber(x11Display);
    for (;;) {
        DrainX11Wake();
        PostedMessages::Message message{};
        int quitCode = 0;
        const PostedMessages::Next next = posted.Take(&message, &quitCode);
        if (next == PostedMessages::Next::kQuit)
            return quitCode;
        if (next == PostedMessages::Next::kMessage) {
            Deliver(message.window, message.message, message.wParam, message.lParam);
            continue;
        }
        if (XPending(x11Display) > 0) {
            XEvent event;
            XNextEvent(x11Display, &event);
            HandleEvent(event);
            continue;
        }
        pollfd waits[2] = {{connection, POLLIN, 0}, {X11WakeFd(), POLLIN, 0}};
        poll(waits, X11WakeFd() >= 0 ? 2 : 1, 100);
    }
}

void PlatformPostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (window == saver.id && saver.id != 0) {
        posted.Post({window, message, wParam, lParam});
        WakeX11Loop();
        return;
    }
    if (X11Connect() == nullptr || !WindowExists(static_cast<Window>(window), nullptr))
        return;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = x11Atoms.windowMessage;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(message);
    event.xclient.data.l[1] = static_cast<long>(wParam);
    event.xclient.data.l[2] = static_cast<long>(lParam);
    XSendEvent(x11Display, static_cast<Window>(window), False, NoEventMask, &event);
    XFlush(x11Display);
}

MessageResult PlatformSendMessage(WindowHandle window, uint32_t message, WParam wParam,
                                  LParam lParam)
{
    return Deliver(window, message, wParam, lParam);
}

void PlatformPostQuitMessage(int code)
{
    posted.PostQuit(code);
    WakeX11Loop();
}

MessageResult PlatformDefWindowProc(WindowHandle window, uint32_t message, WParam, LParam)
{
    if (message == kWmClose && IsOurs(window))
        DestroySaverWindow();
    return 0;
}

bool PlatformRemoveMessage(WindowHandle window, uint32_t first, uint32_t last)
{
    return posted.Remove(window, first, last);
}

ScreenPoint PlatformGetCursorPos()
{
    if (X11Connect() == nullptr)
        return {0, 0};
    Window rootReturn = None;
    Window childReturn = None;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    XQueryPointer(x11Display, DefaultRootWindow(x11Display), &rootReturn, &childReturn, &rootX,
                  &rootY, &windowX, &windowY, &buttons);
    return {rootX, rootY};
}

void PlatformHideCursor()
{
    if (x11Display == nullptr || !saver.alive)
        return;
    XDefineCursor(x11Display, saver.id, x11BlankCursor);
    XFlush(x11Display);
}

WindowHandle PlatformFindWindow(const char* className, const char* title)
{
    if (X11Connect() == nullptr)
        return 0;
    Window rootReturn = None;
    Window parentReturn = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x11Display, DefaultRootWindow(x11Display), &rootReturn, &parentReturn,
                    &children, &count))
        return 0;
    WindowHandle found = 0;
    for (unsigned int i = count; i-- > 0 && found == 0;) { // top of the stack first
        XClassHint hint = {nullptr, nullptr};
        bool classMatches = className == nullptr;
        if (!classMatches && XGetClassHint(x11Display, children[i], &hint)) {
            classMatches = hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        if (!classMatches)
            continue;
        char* name = nullptr;
        bool titleMatches = title == nullptr;
        if (!titleMatches && XFetchName(x11Display, children[i], &name) && name != nullptr)
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
    if (X11Connect() == nullptr || !WindowExists(static_cast<Window>(window), &attributes))
        return;
    XRaiseWindow(x11Display, static_cast<Window>(window));
    if (attributes.map_state == IsViewable)
        XSetInputFocus(x11Display, static_cast<Window>(window), RevertToParent, CurrentTime);
    if (IsOurs(window) && !saverIsPreview && attributes.map_state == IsViewable)
        GrabInput(static_cast<Window>(window));
    XSync(x11Display, False);
}

WindowHandle PlatformGetForegroundWindow()
{
    if (X11Connect() == nullptr)
        return 0;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x11Display, &focus, &revert);
    if (focus == None || focus == PointerRoot)
        return 0;
    return focus;
}

bool PlatformIsWindow(WindowHandle window)
{
    return window != 0 && X11Connect() != nullptr &&
           WindowExists(static_cast<Window>(window), nullptr);
}

WindowHandle PlatformGetParent(WindowHandle window)
{
    if (window == 0 || X11Connect() == nullptr)
        return 0;
    Window rootReturn = None;
    Window parentReturn = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x11Display, static_cast<Window>(window), &rootReturn, &parentReturn, &children,
                    &count))
        return 0;
    if (children != nullptr)
        XFree(children);
    return parentReturn == rootReturn ? 0 : parentReturn;
}

bool PlatformGetClientSize(WindowHandle window, int* width, int* height)
{
    XWindowAttributes attributes;
    if (X11Connect() == nullptr || !WindowExists(static_cast<Window>(window), &attributes))
        return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

ScreenRect PlatformGetScreenClipBox()
{
    if (X11Connect() == nullptr)
        return {0, 0, 0, 0};
    const int screen = DefaultScreen(x11Display);
    return {0, 0, DisplayWidth(x11Display, screen), DisplayHeight(x11Display, screen)};
}
