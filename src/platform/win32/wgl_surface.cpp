// The OpenGL surface on Win32: the window's own device context (the saver
// class has CS_OWNDC), its pixel formats as neutral records, and a WGL
// rendering context.
#include "platform/gl_surface.h"

#include <new>

#include <windows.h>

struct GlSurface {
    HWND window;
    HDC dc;
    HGLRC context;
};

namespace {

// Descriptors are passed with the size of the first version of the structure.
constexpr UINT kDescriptorSize = 40;
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == kDescriptorSize);

PixelFormatTier TierOf(DWORD flags)
{
    if (!(flags & PFD_GENERIC_FORMAT))
        return PixelFormatTier::Hardware;
    if (flags & PFD_GENERIC_ACCELERATED)
        return PixelFormatTier::GenericAccelerated;
    return PixelFormatTier::GenericSoftware;
}

} // namespace

GlSurface* OpenGlSurface(WindowHandle window)
{
    HWND hwnd = reinterpret_cast<HWND>(window);
    HDC dc = GetDC(hwnd);
    if (!dc)
        return nullptr;
    GlSurface* surface = new (std::nothrow) GlSurface{hwnd, dc, nullptr};
    if (!surface)
        ReleaseDC(hwnd, dc);
    return surface;
}

bool DescribeGlFormat(GlSurface* surface, int index, PixelFormatRecord* out)
{
    if (!surface)
        return false;
    PIXELFORMATDESCRIPTOR pfd{};
    if (DescribePixelFormat(surface->dc, index, kDescriptorSize, &pfd) == 0)
        return false;
    out->rgba = pfd.iPixelType == PFD_TYPE_RGBA;
    out->drawToWindow = (pfd.dwFlags & PFD_DRAW_TO_WINDOW) != 0;
    out->supportOpenGL = (pfd.dwFlags & PFD_SUPPORT_OPENGL) != 0;
    out->doubleBuffer = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    out->colorBits = pfd.cColorBits;
    out->depthBits = pfd.cDepthBits;
    out->tier = TierOf(pfd.dwFlags);
    return true;
}

bool SetGlFormat(GlSurface* surface, int index)
{
    if (!surface)
        return false;
    PIXELFORMATDESCRIPTOR pfd{};
    DescribePixelFormat(surface->dc, index, kDescriptorSize, &pfd);
    return SetPixelFormat(surface->dc, index, &pfd) != FALSE;
}

bool SetFallbackGlFormat(GlSurface* surface, const PixelFormatRecord& request)
{
    if (!surface)
        return false;
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = kDescriptorSize;
    pfd.nVersion = 1;
    pfd.dwFlags = (request.drawToWindow ? PFD_DRAW_TO_WINDOW : 0) |
                  (request.supportOpenGL ? PFD_SUPPORT_OPENGL : 0) |
                  (request.doubleBuffer ? PFD_DOUBLEBUFFER : 0);
    pfd.iPixelType = request.rgba ? PFD_TYPE_RGBA : PFD_TYPE_COLORINDEX;
    pfd.cColorBits = request.colorBits;
    pfd.cDepthBits = request.depthBits;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int index = ChoosePixelFormat(surface->dc, &pfd);
    return SetPixelFormat(surface->dc, index, &pfd) != FALSE;
}

bool CreateGlContext(GlSurface* surface)
{
    if (!surface)
        return false;
    surface->context = wglCreateContext(surface->dc);
    if (!surface->context)
        return false;
    return wglMakeCurrent(surface->dc, surface->context) != FALSE;
}

void GetGlClientSize(GlSurface* surface, int* width, int* height)
{
    RECT rect{};
    if (!surface || !GetClientRect(surface->window, &rect)) {
        *width = 0;
        *height = 0;
        return;
    }
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
}

void ResizeGlSurface(GlSurface*, int, int) {}

void SwapGlBuffers(GlSurface* surface)
{
    if (surface)
        wglSwapLayerBuffers(surface->dc, WGL_SWAP_MAIN_PLANE);
}

void CloseGlSurface(GlSurface* surface)
{
    if (!surface)
        return;
    // Unbind before the device context goes, so no current context outlives it.
    wglMakeCurrent(nullptr, nullptr);
    if (surface->context)
        wglDeleteContext(surface->context);
    ReleaseDC(surface->window, surface->dc);
    delete surface;
}
