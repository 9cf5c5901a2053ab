// Fitting a photograph of the whole screen to one window: the picture of a
// window is the window's own size. Along each axis on its own, a photograph
// larger than the window is cropped at the window's position (kept inside the
// photograph), one of the same size is taken whole, and a smaller one is
// centred with black around it.
#pragma once

#include <cstdint>

#include "platform/screen.h"

// Picture coordinate p along one axis shows photograph coordinate p + shift;
// coordinates outside the photograph are black. photoSize and windowSize are
// positive; windowPosition is the window's offset on the screen.
int ScreenshotShift(int photoSize, int windowPosition, int windowSize);

// A photograph as seen through a window: reads picture pixels of a
// windowWidth x windowHeight picture from the photograph's reader.
struct FittedScreenshot {
    const void* photo; // context of the photograph's reader
    SourcePixelReader readPhoto;
    int photoWidth, photoHeight;
    int shiftX, shiftY;
};
// Fills fitted for a window at (x, y) of the given size over the photograph.
void FitScreenshot(const void* photo, SourcePixelReader readPhoto, int photoWidth, int photoHeight,
                   int x, int y, int windowWidth, int windowHeight, FittedScreenshot* fitted);
// SourcePixelReader over a FittedScreenshot: 0x00RRGGBB, black outside the photograph.
uint32_t ReadFittedScreenshot(const void* fitted, int x, int y);
