// The GL-surface and screen seams on Linux, where two backends live in one
// program: each function hands on to the Wayland side once that backend has
// been started, and to the X11 side otherwise. A GlSurface made by one side
// only ever goes back to that side, as the choice is made once, at start.
#include "platform/gl_surface.h"
#include "platform/screen.h"
#include "platform/wayland/wayland_backend.h"
#include "platform/x11/glx_surface.h"
#include "platform/x11/x11_screen.h"

bool waylandBackendActive = false;

namespace {

WaylandGlSurface* OnWayland(GlSurface* surface)
{
    return reinterpret_cast<WaylandGlSurface*>(surface);
}

} // namespace

GlSurface* OpenGlSurface(WindowHandle window)
{
    if (waylandBackendActive)
        return reinterpret_cast<GlSurface*>(WaylandOpenGlSurface(window));
    return GlxOpenGlSurface(window);
}

bool DescribeGlFormat(GlSurface* surface, int index, PixelFormatRecord* out)
{
    return waylandBackendActive ? WaylandDescribeGlFormat(OnWayland(surface), index, out)
                                : GlxDescribeGlFormat(surface, index, out);
}

bool SetGlFormat(GlSurface* surface, int index)
{
    return waylandBackendActive ? WaylandSetGlFormat(OnWayland(surface), index)
                                : GlxSetGlFormat(surface, index);
}

bool SetFallbackGlFormat(GlSurface* surface, const PixelFormatRecord& request)
{
    return waylandBackendActive ? WaylandSetFallbackGlFormat(OnWayland(surface), request)
                                : GlxSetFallbackGlFormat(surface, request);
}

bool CreateGlContext(GlSurface* surface)
{
    return waylandBackendActive ? WaylandCreateGlContext(OnWayland(surface))
                                : GlxCreateGlContext(surface);
}

void GetGlClientSize(GlSurface* surface, int* width, int* height)
{
    if (waylandBackendActive)
        WaylandGetGlClientSize(OnWayland(surface), width, height);
    else
        GlxGetGlClientSize(surface, width, height);
}

void ResizeGlSurface(GlSurface* surface, int width, int height)
{
    if (waylandBackendActive)
        WaylandResizeGlSurface(OnWayland(surface), width, height);
    else
        GlxResizeGlSurface(surface, width, height);
}

void SwapGlBuffers(GlSurface* surface)
{
    if (waylandBackendActive)
        WaylandSwapGlBuffers(OnWayland(surface));
    else
        GlxSwapGlBuffers(surface);
}

void CloseGlSurface(GlSurface* surface)
{
    if (waylandBackendActive)
        WaylandCloseGlSurface(OnWayland(surface));
    else
        GlxCloseGlSurface(surface);
}

void GetPrimaryScreenSize(int* width, int* height)
{
    if (waylandBackendActive)
        WaylandGetPrimaryScreenSize(width, height);
    else
        X11GetPrimaryScreenSize(width, height);
}

bool CapturePrimaryScreen(int width, int height, uint8_t* out)
{
    return waylandBackendActive ? WaylandCapturePrimaryScreen(width, height, out)
                                : X11CapturePrimaryScreen(width, height, out);
}
