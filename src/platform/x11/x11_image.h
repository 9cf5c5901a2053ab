// Reading the pixels of an XImage as 0x00RRGGBB, whatever the visual: direct
// reads for the usual 32-bit layout, masks for other true-colour layouts, and
// a colour table for colour-mapped visuals.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "platform/screen.h"

struct X11ImageReader {
    XImage* image = nullptr;
    unsigned long masks[3] = {};
    int shifts[3] = {};
    unsigned long maxima[3] = {};
    std::vector<uint32_t> palette;
    SourcePixelReader read = nullptr; // called with this reader as the context
};

// Prepares reader for image, taken from a drawable of visual and colormap.
// False when the image's pixels cannot be decoded.
bool InitX11ImageReader(Display* display, XImage* image, const Visual* visual, Colormap colormap,
                        X11ImageReader* reader);

// The whole of drawable (width x height, from its corner) as a ZPixmap image,
// read under an error trap: a drawable that goes away meanwhile, or a server
// that refuses the read, gives nullptr instead of ending the process.
XImage* ReadX11ImageTrapped(Display* display, Drawable drawable, unsigned width, unsigned height);
