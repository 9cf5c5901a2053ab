#include <gtest/gtest.h>

#include "core/pixel_format.h"
#include "core/render_thread.h"

namespace {

PixelFormatRecord Format(int colour, int depth, PixelFormatTier tier)
{
    return {true, true, true, true, static_cast<uint8_t>(colour), static_cast<uint8_t>(depth),
            tier};
}

} // namespace

TEST(PixelFormat, ScoresFavourHardwareThenDepthThenColourUpTo16Bits)
{
    EXPECT_EQ(PixelFormatScore(Format(16, 16, PixelFormatTier::Hardware)), 2048);
    EXPECT_EQ(PixelFormatScore(Format(24, 16, PixelFormatTier::Hardware)), 2052);
    EXPECT_EQ(PixelFormatScore(Format(32, 24, PixelFormatTier::Hardware)), 2072);
    EXPECT_EQ(PixelFormatScore(Format(32, 32, PixelFormatTier::GenericAccelerated)), 1088);
    EXPECT_EQ(PixelFormatScore(Format(24, 32, PixelFormatTier::GenericSoftware)), 84);
    // Odd colour depths above 16: (16 - c) / 2 truncates toward zero.
    EXPECT_EQ(PixelFormatScore(Format(17, 0, PixelFormatTier::GenericSoftware)), 17);
    EXPECT_EQ(PixelFormatScore(Format(255, 255, PixelFormatTier::GenericSoftware)),
              255 + 510 - 119);
}

TEST(PixelFormat, OnlyRgbaWindowOpenGLDoubleBufferedFormatsAreCandidates)
{
    const PixelFormatRecord good = Format(32, 24, PixelFormatTier::Hardware);
    PixelFormatRecord f = good;
    f.rgba = false;
    EXPECT_EQ(PixelFormatScore(f), 0);
    f = good;
    f.drawToWindow = false;
    EXPECT_EQ(PixelFormatScore(f), 0);
    f = good;
    f.supportOpenGL = false;
    EXPECT_EQ(PixelFormatScore(f), 0);
    f = good;
    f.doubleBuffer = false;
    EXPECT_EQ(PixelFormatScore(f), 0);
}

TEST(PixelFormat, RankingPicksTheHighestScoreAndTheLowestNumberOnTies)
{
    const PixelFormatRecord formats[] = {
        Format(24, 32, PixelFormatTier::GenericSoftware), // 1: 84
        Format(16, 16, PixelFormatTier::Hardware),        // 2: 2048
        Format(32, 24, PixelFormatTier::Hardware),        // 3: 2072
        Format(32, 24, PixelFormatTier::Hardware),        // 4: 2072, a tie
        Format(32, 32, PixelFormatTier::GenericAccelerated),
    };
    EXPECT_EQ(SetupPixelFormat(formats, 5), 3);
    EXPECT_EQ(SetupPixelFormat(formats, 2), 2);
    EXPECT_EQ(SetupPixelFormat(formats, 1), 1);

    // A better format that is not double-buffered is no candidate at all.
    PixelFormatRecord single[] = {Format(16, 16, PixelFormatTier::GenericSoftware),
                                  Format(32, 32, PixelFormatTier::Hardware)};
    single[1].doubleBuffer = false;
    EXPECT_EQ(SetupPixelFormat(single, 2), 1);
}

TEST(PixelFormat, FallsBackWhenNothingQualifiesOrNothingIsListed)
{
    EXPECT_EQ(SetupPixelFormat(nullptr, 0), kUseFallbackFormat);
    PixelFormatRecord none[] = {Format(32, 24, PixelFormatTier::Hardware),
                                Format(24, 16, PixelFormatTier::Hardware)};
    none[0].doubleBuffer = false;
    none[1].doubleBuffer = false;
    EXPECT_EQ(SetupPixelFormat(none, 2), kUseFallbackFormat);
    // A candidate scoring 0 is never chosen.
    const PixelFormatRecord empty[] = {Format(0, 0, PixelFormatTier::GenericSoftware)};
    EXPECT_EQ(SetupPixelFormat(empty, 1), kUseFallbackFormat);

    // The request handed to the system chooser.
    EXPECT_TRUE(kFallbackPixelFormat.rgba);
    EXPECT_TRUE(kFallbackPixelFormat.drawToWindow);
    EXPECT_TRUE(kFallbackPixelFormat.supportOpenGL);
    EXPECT_TRUE(kFallbackPixelFormat.doubleBuffer);
    EXPECT_EQ(kFallbackPixelFormat.colorBits, 24);
    EXPECT_EQ(kFallbackPixelFormat.depthBits, 16);
}

TEST(RenderThreadPriority, MapsTheThreeSettingsAndIgnoresOthers)
{
    int level = 99;
    ASSERT_TRUE(PriorityLevelFor(0, &level));
    EXPECT_EQ(level, -2);
    ASSERT_TRUE(PriorityLevelFor(1, &level));
    EXPECT_EQ(level, -1);
    ASSERT_TRUE(PriorityLevelFor(2, &level));
    EXPECT_EQ(level, 0);
    level = 99;
    EXPECT_FALSE(PriorityLevelFor(7, &level));
    EXPECT_FALSE(PriorityLevelFor(-1, &level));
    EXPECT_EQ(level, 99);
}
