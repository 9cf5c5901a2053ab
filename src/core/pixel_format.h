// Choice of the window's framebuffer format: a ranking over neutral format
// records, the same on every window system.
#pragma once

#include <cstdint>

// Who renders a framebuffer format.
enum class PixelFormatTier : int32_t {
    Hardware,           // a hardware driver's own format
    GenericAccelerated, // the system's generic implementation, accelerated
    GenericSoftware,    // the system's generic software renderer
};

// One framebuffer format, described without any window-system type.
struct PixelFormatRecord {
    bool rgba;          // RGBA pixels (not colour-index)
    bool drawToWindow;  // can draw into a window
    bool supportOpenGL; // usable by OpenGL
    bool doubleBuffer;  // has a back buffer
    uint8_t colorBits;  // colour bits, alpha excluded
    uint8_t depthBits;  // depth buffer bits
    PixelFormatTier tier;
};

// The request handed to the system's own chooser when nothing qualifies:
// RGBA, window, OpenGL, double-buffered, 24 colour bits, 16 depth bits.
extern const PixelFormatRecord kFallbackPixelFormat;

constexpr int kUseFallbackFormat = 0;

// Score of one format; 0 when it is no candidate (not RGBA, window-drawable,
// OpenGL and double-buffered).
int PixelFormatScore(const PixelFormatRecord& format);
// formats[0] is format number 1. Returns the number of the best-scoring
// candidate (lowest number on ties), or kUseFallbackFormat when none scores above 0.
int SetupPixelFormat(const PixelFormatRecord* formats, int count);
