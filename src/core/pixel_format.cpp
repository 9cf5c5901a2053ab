#include "core/pixel_format.h"

const PixelFormatRecord kFallbackPixelFormat = {
    true, true, true, true, 24, 16, PixelFormatTier::GenericSoftware,
};

int PixelFormatScore(const PixelFormatRecord& format)
{
    if (!format.rgba || !format.supportOpenGL || !format.drawToWindow || !format.doubleBuffer)
        return 0;
    const int c = format.colorBits;
    const int d = format.depthBits;
    int score = c + 2 * d;
    if (c > 16)
        score += (16 - c) / 2; // colour bits beyond 16 count half
    if (format.tier == PixelFormatTier::Hardware)
        score += 2000;
    else if (format.tier == PixelFormatTier::GenericAccelerated)
        score += 1000;
    return score;
}

int SetupPixelFormat(const PixelFormatRecord* formats, int count)
{
    int bestScore = 0;
    int bestIndex = kUseFallbackFormat;
    for (int i = 0; i < count; ++i) {
        const int score = PixelFormatScore(formats[i]);
        if (score > bestScore) { // strictly greater: the lowest number wins a tie
            bestScore = score;
            bestIndex = i + 1;
        }
    }
    return bestIndex;
}
