#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/screen.h"
#include "render/capture.h"

namespace {

struct Image {
    int width, height;
    std::vector<uint32_t> rgb; // 0x00RRGGBB, top row first
};

uint32_t Read(const void* context, int sx, int sy)
{
    const Image* image = static_cast<const Image*>(context);
    EXPECT_TRUE(sx >= 0 && sx < image->width && sy >= 0 && sy < image->height) << sx << "," << sy;
    return image->rgb[static_cast<size_t>(sy) * image->width + sx];
}

// The scaled picture's blue, green, red bytes read back as 0x00RRGGBB.
std::vector<uint32_t> Scale(const Image& image, int width, int height)
{
    std::vector<uint8_t> bgr(static_cast<size_t>(width) * height * 3, 0xAA);
    ScaleToBgr(&image, Read, image.width, image.height, width, height, bgr.data());
    std::vector<uint32_t> rgb;
    for (size_t i = 0; i < bgr.size(); i += 3)
        rgb.push_back(static_cast<uint32_t>(bgr[i + 2] << 16 | bgr[i + 1] << 8 | bgr[i]));
    return rgb;
}

} // namespace

TEST(Capture, ScalingStoresBlueGreenRedFromTheNearestSourcePixels)
{
    // Each desktop pixel holds its own position, x in the high bits, y in the low.
    Image desktop{1024, 768, std::vector<uint32_t>(1024 * 768)};
    for (uint32_t k = 0; k < desktop.rgb.size(); ++k)
        desktop.rgb[k] = (k % 1024) << 12 | k / 1024;
    // The default texture takes every other column and every third row, top row first.
    const std::vector<uint32_t> texture = Scale(desktop, 512, 256);
    for (int y = 0; y < 256; y += 17)
        for (int x = 0; x < 512; x += 13)
            EXPECT_EQ(texture[y * 512 + x], static_cast<uint32_t>(2 * x << 12 | 3 * y))
                << x << "," << y;
    EXPECT_EQ(texture.back(), static_cast<uint32_t>(1022 << 12 | 765));
}

TEST(Capture, SizesAreCheckedBeforeAnythingIsAllocated)
{
    // The largest accepted picture is counted without overflow even where size_t is 32 bits.
    const int cases[][2] = {
        {0, 256}, {512, 0}, {-512, -256}, {kMaxCaptureSide + 1, 1}, {1, 0x7FFFFFFF}};
    for (const auto& c : cases)
        EXPECT_EQ(CaptureByteCount(c[0], c[1]), 0u) << c[0] << " x " << c[1];
    EXPECT_EQ(CaptureByteCount(512, 256), 393216u);
    EXPECT_EQ(CaptureByteCount(kMaxCaptureSide, kMaxCaptureSide), 805306368u);
}
