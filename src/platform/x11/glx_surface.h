// The GL surface of the X11 backend (GLX). The Linux seam functions of
// platform/gl_surface.h hand on to these while X11 is the active backend;
// each has the contract of the seam function of the same name without "Glx".
#pragma once

#include "platform/gl_surface.h"

GlSurface* GlxOpenGlSurface(WindowHandle window);
bool GlxDescribeGlFormat(GlSurface* surface, int index, PixelFormatRecord* out);
bool GlxSetGlFormat(GlSurface* surface, int index);
bool GlxSetFallbackGlFormat(GlSurface* surface, const PixelFormatRecord& request);
bool GlxCreateGlContext(GlSurface* surface);
void GlxGetGlClientSize(GlSurface* surface, int* width, int* height);
void GlxResizeGlSurface(GlSurface* surface, int width, int height);
void GlxSwapGlBuffers(GlSurface* surface);
void GlxCloseGlSurface(GlSurface* surface);
