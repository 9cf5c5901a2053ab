#include "render/own_picture.h"

#include <cstddef>

namespace {

constexpr int kColumns = 8;
constexpr int kRows = 6;

// Glass colours as 0xRRGGBB: blues, teals, amber, ivory and slate. No reds,
// magentas or pure greens, so the picture never passes for a desktop of those.
constexpr uint32_t kGlass[] = {0x1f3b73, 0x2a6f97, 0x1b8a8f, 0xe0a030,
                               0xf2ead3, 0x4a5a6a, 0x3d8fd1, 0xc98a1b};
constexpr uint32_t kLead = 0x101418;

// A fixed scramble of the pane's row and column, so neighbours differ.
uint32_t PaneColour(int column, int row)
{
    uint32_t h = static_cast<uint32_t>(column) * 73856093u ^ static_cast<uint32_t>(row) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return kGlass[h % (sizeof kGlass / sizeof kGlass[0])];
}

uint8_t Shade(uint32_t colour, int shift, int percent)
{
    return static_cast<uint8_t>(((colour >> shift) & 0xFF) * static_cast<uint32_t>(percent) / 100u);
}

} // namespace

void DrawOwnPicture(int width, int height, uint8_t* out)
{
    if (width <= 0 || height <= 0 || !out)
        return;
    // Lead lines about 1/120 of the width, at least one pixel.
    const int lead = width / 120 > 0 ? width / 120 : 1;
    for (int y = 0; y < height; ++y) {
        const int row = static_cast<int>(static_cast<int64_t>(y) * kRows / height);
        const int rowTop = static_cast<int>(static_cast<int64_t>(row) * height / kRows);
        // Light falls from above: 100% at the top, 60% at the bottom.
        const int light = 100 - 40 * y / height;
        uint8_t* line = out + static_cast<size_t>(y) * static_cast<size_t>(width) * 3u;
        for (int x = 0; x < width; ++x) {
            const int column = static_cast<int>(static_cast<int64_t>(x) * kColumns / width);
            const int columnLeft =
                static_cast<int>(static_cast<int64_t>(column) * width / kColumns);
            const bool onLead = x - columnLeft < lead || y - rowTop < lead;
            const uint32_t colour = onLead ? kLead : PaneColour(column, row);
            // Each pane is brighter towards its upper left corner.
            const int glow = onLead ? 100 : light - 10 * (x - columnLeft) * kColumns / width;
            line[x * 3 + 0] = Shade(colour, 0, glow);
            line[x * 3 + 1] = Shade(colour, 8, glow);
            line[x * 3 + 2] = Shade(colour, 16, glow);
        }
    }
}
