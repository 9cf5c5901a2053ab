// An OpenGL drawing surface on a window: the window's framebuffer formats,
// the rendering context and the buffer swap. One surface is opened, used and
// closed by one thread (the render thread).
#pragma once

#include "core/pixel_format.h"
#include "platform/platform_types.h"

struct GlSurface; // opaque, one per backend

// Opens a GL surface on window. Null on failure.
GlSurface* OpenGlSurface(WindowHandle window);
// Describes format number index (1-based) into out; false when there is no such format.
bool DescribeGlFormat(GlSurface* surface, int index, PixelFormatRecord* out);
// Sets format number index (1-based) on the surface; false on failure. At most once per surface.
bool SetGlFormat(GlSurface* surface, int index);
// Lets the system choose the format closest to request and sets it; false on failure.
bool SetFallbackGlFormat(GlSurface* surface, const PixelFormatRecord& request);
// Creates a rendering context for the surface's format and makes it current on this thread; false
// on failure.
bool CreateGlContext(GlSurface* surface);
// The window's client area size in pixels (0, 0 when unknown).
void GetGlClientSize(GlSurface* surface, int* width, int* height);
// Makes the surface width x height pixels, after the window it draws in changed size
// (X11: the child window; Win32: nothing to do, the window is the surface).
void ResizeGlSurface(GlSurface* surface, int width, int height);
// Presents the back buffer.
void SwapGlBuffers(GlSurface* surface);
// Unbinds and deletes the context and releases everything the surface holds; null is ignored.
void CloseGlSurface(GlSurface* surface);
