#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/wayland/wayland_rules.h"

TEST(WaylandRules, SceneGoesToTheOutputWithMostPixelsFirstOnATie)
{
    EXPECT_EQ(ChooseSceneOutput({}), -1);
    EXPECT_EQ(ChooseSceneOutput({{1280, 1024}, {2000, 600}}), 0); // area, not width
    EXPECT_EQ(ChooseSceneOutput({{800, 600}, {1920, 1080}, {1080, 1920}}), 1);
}

namespace {

// A 2 x 2 picture, top row first: (r, g, b) of each pixel.
const uint8_t kPixels[4][3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};

// The picture as the compositor would hand it over: rows of 12 bytes (4 of padding).
std::vector<uint8_t> Encode(uint32_t format, bool yInvert)
{
    const bool bgrWord = format == kShmXrgb8888 || format == kShmArgb8888;
    std::vector<uint8_t> data(24, 0xEE);
    for (int y = 0; y < 2; ++y) {
        const int row = yInvert ? 1 - y : y;
        for (int x = 0; x < 2; ++x) {
            const uint8_t* rgb = kPixels[y * 2 + x];
            uint8_t* p = &data[static_cast<size_t>(row * 12 + x * 4)];
            p[0] = bgrWord ? rgb[2] : rgb[0];
            p[1] = rgb[1];
            p[2] = bgrWord ? rgb[0] : rgb[2];
            p[3] = 0x7F; // alpha or padding: never read
        }
    }
    return data;
}

} // namespace

TEST(WaylandRules, ScreencopyBuffersOfEachFormatBecomeTopDownBgrAndOthersAreRefused)
{
    uint8_t out[12];
    for (const uint32_t format : {kShmXrgb8888, kShmArgb8888, kShmXbgr8888, kShmAbgr8888}) {
        for (const bool yInvert : {false, true}) {
            const std::vector<uint8_t> data = Encode(format, yInvert);
            const ScreencopyImage image = {data.data(), format, 2, 2, 12, yInvert};
            ASSERT_TRUE(ScreencopyToBgr(image, 2, 2, out)) << format;
            for (int i = 0; i < 4; ++i)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(out[i * 3 + c], kPixels[i][2 - c])
                        << "format " << format << " yInvert " << yInvert << " pixel " << i;
        }
    }
    const std::vector<uint8_t> data = Encode(kShmXrgb8888, false);
    EXPECT_FALSE(
        ScreencopyToBgr({data.data(), 0x30335258 /* RGB565-like */, 2, 2, 12, false}, 2, 2, out));
    EXPECT_FALSE(ScreencopyToBgr({data.data(), kShmXrgb8888, 2, 2, 4, false}, 2, 2, out));
}

TEST(WaylandRules, TheSaverLockIsPerSessionInTheRuntimeDirectory)
{
    EXPECT_EQ(SaverLockPath("/run/user/1000", "wayland-1"),
              "/run/user/1000/brittleview-wayland-1.lock");
    EXPECT_EQ(SaverLockPath("/run/user/1000", "/tmp/sock/w-0"),
              "/run/user/1000/brittleview-_tmp_sock_w-0.lock");
    EXPECT_EQ(SaverLockPath(nullptr, "wayland-1"), "");
}
