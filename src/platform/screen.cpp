#include "platform/screen.h"

#include <cstddef>

void ScaleToBgr(const void* context, SourcePixelReader readPixel, int sourceWidth, int sourceHeight,
                int width, int height, uint8_t* out)
{
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * sourceHeight / height);
        uint8_t* row = out + static_cast<size_t>(y) * static_cast<size_t>(width) * 3u;
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x) * sourceWidth / width);
            const uint32_t rgb = readPixel(context, sx, sy);
            row[x * 3 + 0] = static_cast<uint8_t>(rgb & 0xFF);         // blue
            row[x * 3 + 1] = static_cast<uint8_t>((rgb >> 8) & 0xFF);  // green
            row[x * 3 + 2] = static_cast<uint8_t>((rgb >> 16) & 0xFF); // red
        }
    }
}
