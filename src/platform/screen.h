// The primary screen: its size, and one photograph of it at a chosen size.
#pragma once

#include <cstdint>

// Size of the primary screen in pixels (the desktop rectangle's right and
// bottom edges). Both are set to 0 when the screen cannot be read.
void GetPrimaryScreenSize(int* width, int* height);

// Copies the whole primary screen, scaled without smoothing to width x height
// (each axis on its own), into out as tightly packed rows of blue, green, red
// bytes, top row first, left column first: width * height * 3 bytes. Returns
// false on any failure (including a non-positive size); out is then unspecified.
bool CapturePrimaryScreen(int width, int height, uint8_t* out);

// The scaling CapturePrimaryScreen promises, for the backends that read the
// screen pixel by pixel: nearest-neighbour scaling of a source image to
// width x height, BGR bytes out:
// destination (x, y) takes source (x * srcW / destW, y * srcH / destH).
// readPixel(context, sx, sy) returns 0x00RRGGBB of the source pixel.
using SourcePixelReader = uint32_t (*)(const void* context, int sx, int sy);
void ScaleToBgr(const void* context, SourcePixelReader readPixel, int sourceWidth, int sourceHeight,
                int width, int height, uint8_t* out);
