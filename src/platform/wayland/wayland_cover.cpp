// Cover surfaces. A layer surface is anchored to all four edges with size
// 0 x 0, so the compositor's first configure brings the output's size; it
// ignores panels (exclusive zone -1) and takes every key (exclusive keyboard).
// A toplevel asks to be fullscreen on its output. Either way each configure is
// acknowledged at once; a black cover then gets a black buffer of the new
// size, while the scene's cover is committed by the GL surface's next swap.
#include "platform/wayland/wayland_cover.h"

#include <wayland-client.h>

#include "wlr-layer-shell-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace {

void (*closedHandler)(WaylandOutput* output) = nullptr;

// Attaches a black buffer of the cover's size and commits; scene covers are left alone.
void PaintBlack(WaylandOutput* output)
{
    if (!output->shown || output->scene || !output->configured)
        return;
    const int width = output->PixelWidth();
    const int height = output->PixelHeight();
    if (width <= 0 || height <= 0)
        return;
    if (!output->black || output->blackWidth != width || output->blackHeight != height) {
        if (output->black)
            wl_buffer_destroy(output->black);
        output->black = CreateBlackBuffer(width, height);
        output->blackWidth = width;
        output->blackHeight = height;
    }
    if (!output->black)
        return;
    wl_surface_set_buffer_scale(output->surface, output->scale);
    wl_surface_attach(output->surface, output->black, 0, 0);
    wl_surface_damage(output->surface, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(output->surface);
}

void Configured(WaylandOutput* output, int width, int height)
{
    if (width > 0 && height > 0) {
        output->width = width;
        output->height = height;
    } else if (!output->configured) {
        // A toplevel may leave the size to the client: the output's, in logical units.
        output->width = output->modeWidth / output->scale;
        output->height = output->modeHeight / output->scale;
    }
    output->configured = true;
    PaintBlack(output);
}

void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                      uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    Configured(static_cast<WaylandOutput*>(data), static_cast<int>(width),
               static_cast<int>(height));
}

void OnLayerClosed(void* data, zwlr_layer_surface_v1*)
{
    if (closedHandler)
        closedHandler(static_cast<WaylandOutput*>(data));
}

const zwlr_layer_surface_v1_listener kLayerListener = {OnLayerConfigure, OnLayerClosed};

// The toplevel's size arrives first, the xdg_surface's configure closes the set.
void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    auto* output = static_cast<WaylandOutput*>(data);
    if (width > 0 && height > 0) {
        output->width = width;
        output->height = height;
    }
}

void OnToplevelClose(void* data, xdg_toplevel*)
{
    if (closedHandler)
        closedHandler(static_cast<WaylandOutput*>(data));
}

void OnToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener kToplevelListener = {OnToplevelConfigure, OnToplevelClose,
                                                 OnToplevelBounds, OnToplevelCapabilities};

void OnXdgSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    auto* output = static_cast<WaylandOutput*>(data);
    Configured(output, output->width, output->height);
}

const xdg_surface_listener kXdgSurfaceListener = {OnXdgSurfaceConfigure};

} // namespace

bool CreateCover(WaylandOutput* output)
{
    if (output->surface || !wayland.compositor || (!wayland.layerShell && !wayland.wmBase))
        return false;
    output->surface = wl_compositor_create_surface(wayland.compositor);
    if (!output->surface)
        return false;
    // The buffer scale goes with the first commit, so that the GL surface's
    // first frame is already taken at the output's own pixels.
    wl_surface_set_buffer_scale(output->surface, output->scale);
    if (wayland.layerShell) {
        output->layer = zwlr_layer_shell_v1_get_layer_surface(
            wayland.layerShell, output->surface, output->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            "brittleview");
        zwlr_layer_surface_v1_add_listener(output->layer, &kLayerListener, output);
        zwlr_layer_surface_v1_set_anchor(output->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(output->layer, 0, 0);
        zwlr_layer_surface_v1_set_exclusive_zone(output->layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            output->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    } else {
        output->xdgSurface = xdg_wm_base_get_xdg_surface(wayland.wmBase, output->surface);
        xdg_surface_add_listener(output->xdgSurface, &kXdgSurfaceListener, output);
        output->toplevel = xdg_surface_get_toplevel(output->xdgSurface);
        xdg_toplevel_add_listener(output->toplevel, &kToplevelListener, output);
        xdg_toplevel_set_title(output->toplevel, "Screen Saver");
        xdg_toplevel_set_app_id(output->toplevel, "brittleview");
        xdg_toplevel_set_fullscreen(output->toplevel, output->output);
    }
    wl_surface_commit(output->surface);
    return true;
}

void ShowCover(WaylandOutput* output)
{
    output->shown = true;
    PaintBlack(output);
}

void DestroyCover(WaylandOutput* output)
{
    if (output->layer)
        zwlr_layer_surface_v1_destroy(output->layer);
    if (output->toplevel)
        xdg_toplevel_destroy(output->toplevel);
    if (output->xdgSurface)
        xdg_surface_destroy(output->xdgSurface);
    if (output->surface)
        wl_surface_destroy(output->surface);
    if (output->black)
        wl_buffer_destroy(output->black);
    output->layer = nullptr;
    output->toplevel = nullptr;
    output->xdgSurface = nullptr;
    output->surface = nullptr;
    output->black = nullptr;
    output->configured = output->shown = output->scene = false;
}

void SetCoverClosedHandler(void (*closed)(WaylandOutput* output))
{
    closedHandler = closed;
}
