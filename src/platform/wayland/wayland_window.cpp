// The saver window on Wayland: the full-screen saver only (a preview needs a
// window of another program to live in, which Wayland does not hand out).
//
// The "window" is the set of cover surfaces, one per output, under a single
// handle. The scene is drawn on the largest output's cover by the GL surface;
// the other covers are black. Seat input, a closed cover, the loss of the
// scene's output and the stop signals (SIGTERM, SIGINT, SIGHUP) become
// messages posted to the window's own queue, which the loop drains between
// compositor events; a pipe wakes the loop when something is posted or a
// signal comes. Closing the window wakes a render thread waiting for a frame
// callback (WaylandClosingFd), delivers WM_DESTROY, in which the program joins
// that thread, and then releases every surface.
//
// A second full-screen start in the same session finds the first by a lock
// file in XDG_RUNTIME_DIR named after WAYLAND_DISPLAY, held (flock) by the
// running saver for its whole life.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posted_messages.h"
#include "platform/wayland/wayland_backend.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_cover.h"
#include "platform/wayland/wayland_rules.h"
#include "platform/wayland/wayland_seat.h"
#include "platform/win_messages.h"
#include "platform/window_styles.h"

namespace {

// The saver window's handle, and the handle that stands for another saver's.
constexpr WindowHandle kSaverWindow = 0x5A7E;
constexpr WindowHandle kOtherSaver = 0x5A7F;

WindowProcedure classProc = nullptr;
bool alive = false;
WaylandOutput* sceneOutput = nullptr;
WaylandOutput retiredScene; // the scene's cover after its output went away
int lockFd = -1;
int wakePipe[2] = {-1, -1};
int closingFd = -1;
volatile sig_atomic_t stopSignalled = 0;

PostedMessages posted;

void Wake()
{
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    }
}

void OnStopSignal(int)
{
    stopSignalled = 1;
    const int saved = errno;
    Wake();
    errno = saved;
}

void Post(uint32_t message, WParam wParam, LParam lParam)
{
    posted.Post({kSaverWindow, message, wParam, lParam});
    Wake();
}

MessageResult Deliver(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (!alive || window != kSaverWindow || !classProc)
        return 0;
    return classProc(window, message, wParam, lParam);
}

void OnInput(uint32_t message, WParam wParam, LParam lParam)
{
    if (alive)
        Post(message, wParam, lParam);
}

void OnOutputReady(WaylandOutput* output)
{
    if (!alive)
        return;
    if (CreateCover(output))
        ShowCover(output);
}

void OnOutputGone(WaylandOutput* output)
{
    if (output == sceneOutput) {
        // The GL surface still draws on the scene's cover: keep it until the end.
        retiredScene = *output;
        output->surface = nullptr;
        output->layer = nullptr;
        output->xdgSurface = nullptr;
        output->toplevel = nullptr;
        output->black = nullptr;
        sceneOutput = nullptr;
        if (alive)
            Post(kWmClose, 0, 0);
        return;
    }
    DestroyCover(output);
}

void OnCoverClosed(WaylandOutput*)
{
    if (alive)
        Post(kWmClose, 0, 0);
}

// The ready outputs in the compositor's order, and the one that gets the scene.
WaylandOutput* ChooseScene()
{
    std::vector<OutputPixels> sizes;
    std::vector<WaylandOutput*> ready;
    for (auto& output : wayland.outputs) {
        if (!output->ready)
            continue;
        sizes.push_back({output->modeWidth, output->modeHeight});
        ready.push_back(output.get());
    }
    const int index = ChooseSceneOutput(sizes);
    return index < 0 ? nullptr : ready[static_cast<size_t>(index)];
}

void DestroyAllCovers()
{
    for (auto& output : wayland.outputs)
        DestroyCover(output.get());
    DestroyCover(&retiredScene);
    sceneOutput = nullptr;
    wl_display_flush(wayland.display);
}

void DestroySaverWindow()
{
    if (closingFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(closingFd, &one, sizeof one);
    }
    Deliver(kSaverWindow, kWmDestroy, 0, 0); // the render thread is joined in there
    alive = false;
    DestroyAllCovers();
}

void CatchStopSignals()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int stop : {SIGTERM, SIGINT, SIGHUP})
        sigaction(stop, &action, nullptr);
}

// Makes and configures the covers of every ready output; true when the
// scene's cover has its size.
bool CoverOutputs()
{
    for (auto& output : wayland.outputs)
        if (output->ready && !CreateCover(output.get()))
            return false;
    for (int attempt = 0; attempt < 5 && !sceneOutput->configured; ++attempt)
        if (wl_display_roundtrip(wayland.display) < 0)
            return false;
    return sceneOutput && sceneOutput->configured;
}

bool WaylandRegisterSaverClass(uintptr_t, WindowProcedure proc)
{
    if (!WaylandConnect() || !proc)
        return false;
    classProc = proc;
    return true;
}

WindowHandle WaylandCreateSaverWindow(uint32_t, const char*, uint32_t style, int, int, int, int,
                                      WindowHandle parent, uintptr_t)
{
    if (!WaylandConnect() || !classProc || alive || parent != 0)
        return 0;
    if (!wayland.layerShell && !wayland.wmBase) {
        std::fputs("brittleview: the compositor offers no way to cover the screen\n", stderr);
        return 0;
    }
    sceneOutput = ChooseScene();
    if (!sceneOutput) {
        std::fputs("brittleview: the compositor lists no output\n", stderr);
        return 0;
    }
    if (wakePipe[0] < 0 && pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 0;
    if (closingFd < 0)
        closingFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    CatchStopSignals();
    SetWaylandOutputHooks({OnOutputReady, OnOutputGone});
    SetCoverClosedHandler(OnCoverClosed);
    SetWaylandInputSink(OnInput);
    if (!CoverOutputs()) {
        DestroyAllCovers();
        return 0;
    }
    sceneOutput->scene = true;
    alive = true;
    // The covers are not mapped yet (no buffer): what WM_CREATE photographs
    // is the desktop without the saver.
    if (Deliver(kSaverWindow, kWmCreate, 0, 0) == -1) {
        DestroySaverWindow();
        return 0;
    }
    if (!alive)
        return 0;
    if ((style & kWsVisible) != 0) {
        Deliver(kSaverWindow, kWmShowWindow, 1, 0);
        for (auto& output : wayland.outputs)
            if (output->surface)
                ShowCover(output.get());
    }
    wl_display_flush(wayland.display);
    return kSaverWindow;
}

void DrainWake()
{
    char bytes[64];
    while (wakePipe[0] >= 0 && read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
}

int WaylandRunMessageLoop()
{
    if (!wayland.display)
        return -1;
    wl_display* display = wayland.display;
    for (;;) {
        DrainWake();
        if (stopSignalled) {
            stopSignalled = 0;
            if (alive)
                Post(kWmClose, 0, 0);
        }
        PostedMessages::Message message{};
        int quitCode = 0;
        const PostedMessages::Next next = posted.Take(&message, &quitCode);
        if (next == PostedMessages::Next::kQuit)
            return quitCode;
        if (next == PostedMessages::Next::kMessage) {
            Deliver(message.window, message.message, message.wParam, message.lParam);
            continue;
        }
        if (wl_display_prepare_read(display) != 0) {
            wl_display_dispatch_pending(display);
            continue;
        }
        wl_display_flush(display);
        pollfd waits[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        const int ready = poll(waits, 2, -1);
        if (ready > 0 && (waits[0].revents & POLLIN) != 0) {
            if (wl_display_read_events(display) != 0)
                break;
        } else {
            wl_display_cancel_read(display);
        }
        if (ready > 0 && (waits[0].revents & (POLLERR | POLLHUP)) != 0)
            break;
        if (wl_display_dispatch_pending(display) < 0)
            break;
    }
    // The compositor went away: the window goes with it, as after a close.
    if (alive)
        DestroySaverWindow();
    return posted.TakeQuitCode();
}

void WaylandPostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (window == kSaverWindow && alive)
        Post(message, wParam, lParam);
}

MessageResult WaylandSendMessage(WindowHandle window, uint32_t message, WParam wParam,
                                 LParam lParam)
{
    return Deliver(window, message, wParam, lParam);
}

void WaylandPostQuitMessage(int code)
{
    posted.PostQuit(code);
    Wake();
}

MessageResult WaylandDefWindowProc(WindowHandle window, uint32_t message, WParam, LParam)
{
    if (message == kWmClose && window == kSaverWindow && alive)
        DestroySaverWindow();
    return 0;
}

bool WaylandRemoveMessage(WindowHandle window, uint32_t first, uint32_t last)
{
    return posted.Remove(window, first, last);
}

ScreenPoint WaylandGetCursorPos()
{
    return WaylandPointerOffset();
}

void WaylandHideCursor()
{
    // Done on every enter of the pointer into a cover (wayland_seat.cpp).
}

WindowHandle WaylandFindWindow(const char*, const char* title)
{
    if (!title || std::strcmp(title, kSaverTitleFullScreen) != 0 || lockFd >= 0)
        return 0;
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const std::string path =
        SaverLockPath(std::getenv("XDG_RUNTIME_DIR"), display && *display ? display : "wayland-0");
    if (path.empty())
        return 0;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return 0;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        lockFd = fd; // ours until the process ends
        return 0;
    }
    close(fd);
    return kOtherSaver;
}

void WaylandSetForegroundWindow(WindowHandle)
{
    // A running saver already covers every output and holds the keyboard.
}

WindowHandle WaylandGetForegroundWindow()
{
    return 0;
}

bool WaylandIsWindow(WindowHandle window)
{
    return window == kOtherSaver || (window == kSaverWindow && alive);
}

WindowHandle WaylandGetParent(WindowHandle)
{
    return 0;
}

bool WaylandGetClientSize(WindowHandle window, int* width, int* height)
{
    if (!WaylandIsWindow(window) || window != kSaverWindow)
        return false;
    const WaylandOutput* scene = sceneOutput ? sceneOutput : &retiredScene;
    *width = scene->PixelWidth();
    *height = scene->PixelHeight();
    return true;
}

ScreenRect WaylandGetScreenClipBox()
{
    if (!WaylandConnect())
        return {0, 0, 0, 0};
    const WaylandOutput* scene = sceneOutput ? sceneOutput : ChooseScene();
    if (!scene)
        return {0, 0, 0, 0};
    return {0, 0, scene->PixelWidth(), scene->PixelHeight()};
}

} // namespace

bool WaylandSceneSurface(WindowHandle window, wl_surface** surface, int* width, int* height)
{
    if (window != kSaverWindow || !alive)
        return false;
    const WaylandOutput* scene = sceneOutput ? sceneOutput : &retiredScene;
    if (!scene->surface)
        return false;
    *surface = scene->surface;
    *width = scene->PixelWidth();
    *height = scene->PixelHeight();
    return true;
}

WaylandOutput* WaylandSceneOutput()
{
    return sceneOutput ? sceneOutput : ChooseScene();
}

int WaylandClosingFd()
{
    return closingFd;
}

void WaylandGetPrimaryScreenSize(int* width, int* height)
{
    const ScreenRect box = WaylandGetScreenClipBox();
    *width = box.right;
    *height = box.bottom;
}

bool WaylandCompositorAnswers()
{
    return WaylandConnect();
}

Platform StartWaylandBackend()
{
    waylandBackendActive = true;
    Platform table = kX11Platform;
    table.registerSaverClass = WaylandRegisterSaverClass;
    table.createSaverWindow = WaylandCreateSaverWindow;
    table.runMessageLoop = WaylandRunMessageLoop;
    table.postMessage = WaylandPostMessage;
    table.sendMessage = WaylandSendMessage;
    table.postQuitMessage = WaylandPostQuitMessage;
    table.defWindowProc = WaylandDefWindowProc;
    table.removeMessage = WaylandRemoveMessage;
    table.getCursorPos = WaylandGetCursorPos;
    table.hideCursor = WaylandHideCursor;
    table.findWindow = WaylandFindWindow;
    table.setForegroundWindow = WaylandSetForegroundWindow;
    table.getForegroundWindow = WaylandGetForegroundWindow;
    table.isWindow = WaylandIsWindow;
    table.getParent = WaylandGetParent;
    table.getClientSize = WaylandGetClientSize;
    table.getScreenClipBox = WaylandGetScreenClipBox;
    return table;
}
