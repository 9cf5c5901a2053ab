// The GL surface on Wayland: an EGL window surface on the scene's cover, with
// a desktop OpenGL compatibility context (EGL_OPENGL_API), so the same
// OpenGL 1.1 drawing runs as under GLX.
//
// EGL configs become format records like this:
//   rgba           EGL_COLOR_BUFFER_TYPE is EGL_RGB_BUFFER
//   drawToWindow   EGL_SURFACE_TYPE has EGL_WINDOW_BIT
//   supportOpenGL  EGL_RENDERABLE_TYPE has EGL_OPENGL_BIT
//   doubleBuffer   always: an EGL window surface has a back buffer
//   colorBits      EGL_RED_SIZE + EGL_GREEN_SIZE + EGL_BLUE_SIZE
//   depthBits      EGL_DEPTH_SIZE
//   tier           GenericSoftware for EGL_SLOW_CONFIG, else Hardware
// Only configs without alpha and multisampling are listed: a compositor
// blends a buffer with alpha over what lies below, and the scene clears to
// transparent black.
//
// Pacing: the context swaps without waiting (swap interval 0) and each swap
// first waits for the frame callback asked for with the previous one, on a
// queue of this thread's own. The wait ends after at most a second (an output
// that is off sends no callbacks) or at once when the window is closing, and
// sleeps in poll meanwhile. BRITTLEVIEW_SWAP_INTERVAL=0 in the environment
// drops the wait (for measuring the unpaced frame rate).
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <poll.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/wayland/wayland_backend.h"
#include "platform/wayland/wayland_connection.h"

struct WaylandGlSurface {
    EGLDisplay display = EGL_NO_DISPLAY;
    std::vector<EGLConfig> configs;
    EGLConfig chosen = nullptr;
    wl_surface* surface = nullptr;
    wl_egl_window* window = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    wl_event_queue* queue = nullptr;
    wl_surface* wrapper = nullptr; // the surface, its callbacks on queue
    wl_callback* frame = nullptr;  // the frame callback awaited, or null
    int width = 0, height = 0;
    bool paced = true;
};

namespace {

constexpr int kFrameWaitMilliseconds = 1000;

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint attribute)
{
    EGLint value = 0;
    return eglGetConfigAttrib(display, config, attribute, &value) ? value : 0;
}

uint8_t Bits(EGLint value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

void OnFrameDone(void* data, wl_callback* callback, uint32_t)
{
    auto* surface = static_cast<WaylandGlSurface*>(data);
    wl_callback_destroy(callback);
    surface->frame = nullptr;
}

const wl_callback_listener kFrameListener = {OnFrameDone};

void WaitForFrame(WaylandGlSurface* surface)
{
    wl_display* display = wayland.display;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kFrameWaitMilliseconds);
    while (surface->frame) {
        if (wl_display_prepare_read_queue(display, surface->queue) != 0) {
            if (wl_display_dispatch_queue_pending(display, surface->queue) < 0)
                break;
            continue;
        }
        wl_display_flush(display);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waits[2] = {{wl_display_get_fd(display), POLLIN, 0},
                           {WaylandClosingFd(), POLLIN, 0}};
        const int ready = left.count() > 0 ? poll(waits, 2, static_cast<int>(left.count())) : 0;
        if (ready > 0 && (waits[0].revents & POLLIN) != 0) {
            if (wl_display_read_events(display) != 0)
                break;
        } else {
            wl_display_cancel_read(display);
        }
        if (wl_display_dispatch_queue_pending(display, surface->queue) < 0)
            break;
        if (ready <= 0 || (waits[1].revents & POLLIN) != 0)
            break; // the deadline passed, or the window is closing
    }
    if (surface->frame) { // given up: a late callback must not find this surface
        wl_callback_destroy(surface->frame);
        surface->frame = nullptr;
    }
}

bool MakeWindowSurface(WaylandGlSurface* surface, EGLConfig config)
{
    if (surface->window)
        return false; // the format is set once
    surface->window = wl_egl_window_create(surface->surface, surface->width, surface->height);
    if (!surface->window)
        return false;
    surface->eglSurface =
        eglCreatePlatformWindowSurface(surface->display, config, surface->window, nullptr);
    if (surface->eglSurface == EGL_NO_SURFACE) {
        wl_egl_window_destroy(surface->window);
        surface->window = nullptr;
        return false;
    }
    surface->chosen = config;
    return true;
}

} // namespace

WaylandGlSurface* WaylandOpenGlSurface(WindowHandle window)
{
    wl_surface* target = nullptr;
    int width = 0, height = 0;
    if (!WaylandSceneSurface(window, &target, &width, &height) || width <= 0 || height <= 0)
        return nullptr;
    auto* surface = new (std::nothrow) WaylandGlSurface;
    if (!surface)
        return nullptr;
    surface->surface = target;
    surface->width = width;
    surface->height = height;
    const char* interval = std::getenv("BRITTLEVIEW_SWAP_INTERVAL");
    surface->paced = !(interval && std::strcmp(interval, "0") == 0);
    surface->display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, wayland.display, nullptr);
    if (surface->display == EGL_NO_DISPLAY || !eglInitialize(surface->display, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API)) {
        WaylandCloseGlSurface(surface);
        return nullptr;
    }
    EGLint count = 0;
    eglGetConfigs(surface->display, nullptr, 0, &count);
    std::vector<EGLConfig> all(static_cast<size_t>(count > 0 ? count : 0));
    if (count > 0)
        eglGetConfigs(surface->display, all.data(), count, &count);
    for (EGLConfig config : all) {
        if ((Attribute(surface->display, config, EGL_SURFACE_TYPE) & EGL_WINDOW_BIT) != 0 &&
            Attribute(surface->display, config, EGL_ALPHA_SIZE) == 0 &&
            Attribute(surface->display, config, EGL_SAMPLE_BUFFERS) == 0)
            surface->configs.push_back(config);
    }
    return surface;
}

bool WaylandDescribeGlFormat(WaylandGlSurface* surface, int index, PixelFormatRecord* out)
{
    if (!surface || index < 1 || index > static_cast<int>(surface->configs.size()))
        return false;
    EGLDisplay display = surface->display;
    const EGLConfig config = surface->configs[static_cast<size_t>(index - 1)];
    out->rgba = Attribute(display, config, EGL_COLOR_BUFFER_TYPE) == EGL_RGB_BUFFER;
    out->drawToWindow = (Attribute(display, config, EGL_SURFACE_TYPE) & EGL_WINDOW_BIT) != 0;
    out->supportOpenGL = (Attribute(display, config, EGL_RENDERABLE_TYPE) & EGL_OPENGL_BIT) != 0;
    out->doubleBuffer = true;
    out->colorBits =
        Bits(Attribute(display, config, EGL_RED_SIZE) + Attribute(display, config, EGL_GREEN_SIZE) +
             Attribute(display, config, EGL_BLUE_SIZE));
    out->depthBits = Bits(Attribute(display, config, EGL_DEPTH_SIZE));
    out->tier = Attribute(display, config, EGL_CONFIG_CAVEAT) == EGL_SLOW_CONFIG
                    ? PixelFormatTier::GenericSoftware
                    : PixelFormatTier::Hardware;
    return true;
}

bool WaylandSetGlFormat(WaylandGlSurface* surface, int index)
{
    if (!surface || index < 1 || index > static_cast<int>(surface->configs.size()))
        return false;
    return MakeWindowSurface(surface, surface->configs[static_cast<size_t>(index - 1)]);
}

bool WaylandSetFallbackGlFormat(WaylandGlSurface* surface, const PixelFormatRecord& request)
{
    if (!surface)
        return false;
    const EGLint channel = request.colorBits / 3;
    const EGLint full[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT,    EGL_RENDERABLE_TYPE,
                           EGL_OPENGL_BIT,   EGL_RED_SIZE,      channel,
                           EGL_GREEN_SIZE,   channel,           EGL_BLUE_SIZE,
                           channel,          EGL_ALPHA_SIZE,    0,
                           EGL_DEPTH_SIZE,   request.depthBits, EGL_NONE};
    const EGLint loose[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                            EGL_NONE};
    for (const EGLint* attributes : {full, loose}) {
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (eglChooseConfig(surface->display, attributes, &config, 1, &count) && count > 0 &&
            MakeWindowSurface(surface, config))
            return true;
        if (surface->window)
            return false;
    }
    return false;
}

bool WaylandCreateGlContext(WaylandGlSurface* surface)
{
    if (!surface || surface->eglSurface == EGL_NO_SURFACE || !eglBindAPI(EGL_OPENGL_API))
        return false;
    surface->context = eglCreateContext(surface->display, surface->chosen, EGL_NO_CONTEXT, nullptr);
    if (surface->context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(surface->display, surface->eglSurface, surface->eglSurface,
                        surface->context))
        return false;
    eglSwapInterval(surface->display, 0);
    surface->queue = wl_display_create_queue(wayland.display);
    surface->wrapper = static_cast<wl_surface*>(wl_proxy_create_wrapper(surface->surface));
    if (surface->queue && surface->wrapper)
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(surface->wrapper), surface->queue);
    else
        surface->paced = false;
    return true;
}

void WaylandGetGlClientSize(WaylandGlSurface* surface, int* width, int* height)
{
    *width = surface ? surface->width : 0;
    *height = surface ? surface->height : 0;
}

void WaylandResizeGlSurface(WaylandGlSurface* surface, int width, int height)
{
    if (!surface || !surface->window || width <= 0 || height <= 0)
        return;
    wl_egl_window_resize(surface->window, width, height, 0, 0);
    surface->width = width;
    surface->height = height;
}

void WaylandSwapGlBuffers(WaylandGlSurface* surface)
{
    if (!surface || surface->eglSurface == EGL_NO_SURFACE)
        return;
    if (surface->paced) {
        WaitForFrame(surface);
        surface->frame = wl_surface_frame(surface->wrapper);
        wl_callback_add_listener(surface->frame, &kFrameListener, surface);
    }
    eglSwapBuffers(surface->display, surface->eglSurface);
}

void WaylandCloseGlSurface(WaylandGlSurface* surface)
{
    if (!surface)
        return;
    if (surface->display != EGL_NO_DISPLAY) {
        eglMakeCurrent(surface->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface->context != EGL_NO_CONTEXT)
            eglDestroyContext(surface->display, surface->context);
        if (surface->eglSurface != EGL_NO_SURFACE)
            eglDestroySurface(surface->display, surface->eglSurface);
        eglTerminate(surface->display);
        eglReleaseThread();
    }
    if (surface->window)
        wl_egl_window_destroy(surface->window);
    if (surface->frame)
        wl_callback_destroy(surface->frame);
    if (surface->wrapper)
        wl_proxy_wrapper_destroy(surface->wrapper);
    if (surface->queue)
        wl_event_queue_destroy(surface->queue);
    delete surface;
}
