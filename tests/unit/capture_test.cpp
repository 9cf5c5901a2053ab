#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/capture.h"

namespace {

struct Image {
    int width, height;
    std::vector<uint32_t> rgb; // 0x00RRGGBB, top row first
};

uint32_t Read(const void* context, int sx, int sy)
{
    const Image* image = static_cast<const Image*>(context);
    EXPECT_GE(sx, 0);
    EXPECT_LT(sx, image->width);
    EXPECT_GE(sy, 0);
    EXPECT_LT(sy, image->height);
    return image->rgb[static_cast<size_t>(sy) * image->width + sx];
}

// Each source pixel encodes its position: red = x / 8, green = y / 8, blue = (x + y) & 0xFF.
Image Coded(int width, int height)
{
    Image image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rgb[static_cast<size_t>(y) * width + x] =
                static_cast<uint32_t>((x / 8) & 0xFF) << 16 |
                static_cast<uint32_t>((y / 8) & 0xFF) << 8 | static_cast<uint32_t>((x + y) & 0xFF);
    return image;
}

} // namespace

TEST(Capture, PixelsAreStoredBlueGreenRedTopRowFirst)
{
    Image image{2, 2, {0xFF0000u, 0x00FF00u, 0x0000FFu, 0x123456u}};
    uint8_t out[12];
    ScaleToBgr(&image, Read, 2, 2, 2, 2, out);
    const uint8_t expected[12] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00,  // red, green
                                  0xFF, 0x00, 0x00, 0x56, 0x34, 0x12}; // blue, mixed
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(Capture, DefaultTextureTakesEveryOtherColumnAndEveryThirdRowWithCornersInPlace)
{
    const Image image = Coded(1024, 768);
    std::vector<uint8_t> out(512 * 256 * 3, 0xAA);
    ScaleToBgr(&image, Read, 1024, 768, 512, 256, out.data());
    for (int y = 0; y < 256; y += 17) {
        for (int x = 0; x < 512; x += 13) {
            const uint32_t source = image.rgb[static_cast<size_t>(y * 3) * 1024 + x * 2];
            const size_t at = (static_cast<size_t>(y) * 512 + x) * 3;
            EXPECT_EQ(out[at + 0], source & 0xFF) << x << "," << y;
            EXPECT_EQ(out[at + 1], (source >> 8) & 0xFF) << x << "," << y;
            EXPECT_EQ(out[at + 2], (source >> 16) & 0xFF) << x << "," << y;
        }
    }
    // The top-left pixel lands at byte 0; the bottom-right texel, at byte
    // (W * H - 1) * 3, comes from the bottom-right 2 x 3 block.
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 0);
    const size_t last = (512u * 256u - 1u) * 3u;
    EXPECT_EQ(out[last + 2], 1022 / 8);
    EXPECT_EQ(out[last + 1], 765 / 8);
    EXPECT_EQ(out[last + 0], (1022 + 765) & 0xFF);
}

TEST(Capture, EnlargingRepeatsSourcePixelsWithoutSmoothing)
{
    Image image{2, 1, {0x000000u, 0xFFFFFFu}};
    uint8_t out[5 * 2 * 3];
    ScaleToBgr(&image, Read, 2, 1, 5, 2, out);
    // Columns 0..2 from source 0 (x * 2 / 5 = 0, 0, 0, 1, 1), 3..4 from source 1.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(out[(y * 5 + x) * 3 + k], x < 3 ? 0x00 : 0xFF) << x << "," << y;
}

TEST(Capture, SizesAreCheckedBeforeAnythingIsAllocated)
{
    EXPECT_EQ(CaptureByteCount(512, 256), 393216u);
    EXPECT_EQ(CaptureByteCount(2048, 2048), 12582912u);
    EXPECT_EQ(CaptureByteCount(1, 1), 3u);
    EXPECT_EQ(CaptureByteCount(0, 256), 0u);
    EXPECT_EQ(CaptureByteCount(512, 0), 0u);
    EXPECT_EQ(CaptureByteCount(-512, -256), 0u);
    EXPECT_EQ(CaptureByteCount(kMaxCaptureSide + 1, 1), 0u);
    EXPECT_EQ(CaptureByteCount(1, 0x7FFFFFFF), 0u);
    // The largest accepted picture is counted without overflow even where size_t is 32 bits.
    EXPECT_EQ(CaptureByteCount(kMaxCaptureSide, kMaxCaptureSide), 805306368u);
}
