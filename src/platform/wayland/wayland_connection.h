// The window thread's connection to the Wayland compositor: the globals the
// backend binds, the outputs with what they told about themselves, and the
// cover surface each output gets while the saver runs. One connection per
// process; the render thread's EGL surface shares it through its own queue.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct wl_buffer;
struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct zwlr_screencopy_manager_v1;

// One output and, while the saver runs, the surface that covers it.
struct WaylandOutput {
    uint32_t name = 0; // the registry's name of the global
    wl_output* output = nullptr;
    int x = 0, y = 0;                  // position in the compositor's space
    int modeWidth = 0, modeHeight = 0; // current mode, in pixels
    int scale = 1;                     // buffer scale: pixels per logical unit
    bool ready = false;                // the first "done" has come
    // The cover: a layer surface, or else a fullscreen toplevel.
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_buffer* black = nullptr;
    int blackWidth = 0, blackHeight = 0; // the black buffer's pixels
    int width = 0, height = 0;           // the last configured size, logical
    bool configured = false;             // a configure was acknowledged
    bool shown = false;                  // the cover may draw (after WM_CREATE)
    bool scene = false;                  // the scene is drawn here (GL), not black
    // Pixel size of the cover: configured size times scale, else the mode.
    int PixelWidth() const;
    int PixelHeight() const;
};

struct WaylandState {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
    wl_seat* seat = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> outputs;
};
extern WaylandState wayland;

// Connects to the compositor WAYLAND_DISPLAY names (once) and learns its
// globals and outputs. false when no compositor answers.
bool WaylandConnect();
// Ends the connection and frees everything bound; a later connect starts anew.
void WaylandDisconnect();

// What the window code does when an output gets ready or goes away; set once.
struct WaylandOutputHooks {
    void (*ready)(WaylandOutput* output);
    void (*gone)(WaylandOutput* output); // before the output is freed
};
void SetWaylandOutputHooks(const WaylandOutputHooks& hooks);

// The output whose cover surface is surface, or null.
WaylandOutput* FindWaylandOutput(wl_surface* surface);

// An XRGB8888 buffer of width x height pixels, all black (fresh shared
// memory is zero). Null on failure.
wl_buffer* CreateBlackBuffer(int width, int height);
// Shared memory of size bytes mapped into *data, as a buffer of that shape;
// null on failure. The caller unmaps size bytes from *data.
wl_buffer* CreateShmBuffer(int width, int height, int stride, uint32_t format, void** data);

// The seat's listener (wayland_seat.cpp), added when the seat is bound.
void ListenToWaylandSeat(wl_seat* seat);
void ReleaseWaylandSeat();
