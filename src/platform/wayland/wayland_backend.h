// The Wayland backend as the Linux entry sees it: starting it, its table of
// platform functions, and its side of the GL-surface and screen seams, which
// the Linux seam functions hand on to while it is the active backend.
#pragma once

#include <cstdint>

#include "core/pixel_format.h"
#include "platform/platform.h"

struct WaylandGlSurface;

// True once StartWaylandBackend has succeeded: the GL-surface and screen seams
// then go to the Wayland side.
extern bool waylandBackendActive;

// Connects to the compositor that WAYLAND_DISPLAY names; false when none answers.
bool WaylandCompositorAnswers();
// Makes Wayland the active backend (after WaylandCompositorAnswers) and
// returns its table: the X11 table with the saver window's entries replaced.
Platform StartWaylandBackend();

// Draws the picture used when the output cannot be photographed; set by the entry.
void SetWaylandPictureFallback(void (*draw)(int width, int height, uint8_t* bgr));

// The saver window's scene surface as the GL side needs it (wayland_window.cpp).
struct wl_surface;
bool WaylandSceneSurface(WindowHandle window, wl_surface** surface, int* width, int* height);
// Readable once the saver window is closing: a waiting render thread gives up.
int WaylandClosingFd();

// The Wayland side of gl_surface.h (wayland_egl.cpp) and screen.h (wayland_screencopy.cpp).
WaylandGlSurface* WaylandOpenGlSurface(WindowHandle window);
bool WaylandDescribeGlFormat(WaylandGlSurface* surface, int index, PixelFormatRecord* out);
bool WaylandSetGlFormat(WaylandGlSurface* surface, int index);
bool WaylandSetFallbackGlFormat(WaylandGlSurface* surface, const PixelFormatRecord& request);
bool WaylandCreateGlContext(WaylandGlSurface* surface);
void WaylandGetGlClientSize(WaylandGlSurface* surface, int* width, int* height);
void WaylandResizeGlSurface(WaylandGlSurface* surface, int width, int height);
void WaylandSwapGlBuffers(WaylandGlSurface* surface);
void WaylandCloseGlSurface(WaylandGlSurface* surface);
void WaylandGetPrimaryScreenSize(int* width, int* height);
bool WaylandCapturePrimaryScreen(int width, int height, uint8_t* out);

// The output the scene is (or will be) drawn on; null when there is none.
struct WaylandOutput;
WaylandOutput* WaylandSceneOutput();
