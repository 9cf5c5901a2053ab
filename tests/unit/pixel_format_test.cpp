#include <gtest/gtest.h>

#include "core/pixel_format.h"

namespace {

constexpr int H = 0, A = 1, S = 2; // hardware, generic accelerated, generic software

// A format with every flag set, or all but flag number `missing`.
PixelFormatRecord Format(int colour, int depth, int tier, int missing = -1)
{
    const bool has[4] = {missing != 0, missing != 1, missing != 2, missing != 3};
    return {has[0], has[1], has[2], has[3], uint8_t(colour), uint8_t(depth), PixelFormatTier(tier)};
}

} // namespace

TEST(PixelFormat, ScoresFavourHardwareThenDepthThenColourAndTheBestNumberWins)
{
    // Colour, depth, tier, missing flag (rgba, window, OpenGL, double buffer), score.
    const int cases[][5] = {{16, 16, H, -1, 2048}, {24, 16, H, -1, 2052}, {32, 32, A, -1, 1088},
                            {24, 32, S, -1, 84},   {17, 0, S, -1, 17},    {32, 24, H, 0, 0},
                            {32, 24, H, 1, 0},     {32, 24, H, 2, 0},     {32, 24, H, 3, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PixelFormatScore(Format(c[0], c[1], c[2], c[3])), c[4]) << c[0] << "/" << c[1];

    // The highest score wins, the lowest number on ties; scores 84, 2048, 2072, 2072, 0, 0.
    const PixelFormatRecord formats[] = {Format(24, 32, S), Format(16, 16, H),    Format(32, 24, H),
                                         Format(32, 24, H), Format(32, 32, H, 3), Format(0, 0, S)};
    EXPECT_EQ(SetupPixelFormat(formats, 6), 3);
    EXPECT_EQ(SetupPixelFormat(formats, 2), 2);
    EXPECT_EQ(SetupPixelFormat(formats + 4, 2), kUseFallbackFormat);
    EXPECT_EQ(SetupPixelFormat(nullptr, 0), kUseFallbackFormat);
}
