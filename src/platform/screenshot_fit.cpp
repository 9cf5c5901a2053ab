#include "platform/screenshot_fit.h"

int ScreenshotShift(int photoSize, int windowPosition, int windowSize)
{
    if (photoSize > windowSize) {
        // Crop where the window sits, but never past the photograph's edges.
        const int last = photoSize - windowSize;
        return windowPosition < 0 ? 0 : windowPosition > last ? last : windowPosition;
    }
    // Equal sizes give 0; a smaller photograph sits in the middle.
    return -((windowSize - photoSize) / 2);
}

void FitScreenshot(const void* photo, SourcePixelReader readPhoto, int photoWidth, int photoHeight,
                   int x, int y, int windowWidth, int windowHeight, FittedScreenshot* fitted)
{
    fitted->photo = photo;
    fitted->readPhoto = readPhoto;
    fitted->photoWidth = photoWidth;
    fitted->photoHeight = photoHeight;
    fitted->shiftX = ScreenshotShift(photoWidth, x, windowWidth);
    fitted->shiftY = ScreenshotShift(photoHeight, y, windowHeight);
}

uint32_t ReadFittedScreenshot(const void* context, int x, int y)
{
    const FittedScreenshot* fitted = static_cast<const FittedScreenshot*>(context);
    const int sx = x + fitted->shiftX;
    const int sy = y + fitted->shiftY;
    if (sx < 0 || sy < 0 || sx >= fitted->photoWidth || sy >= fitted->photoHeight)
        return 0;
    return fitted->readPhoto(fitted->photo, sx, sy);
}
