#include <gtest/gtest.h>

#include "core/random.h"
#include "render/scene.h"

TEST(Sparkle, PointCountGrowsByOneEvery160Lists)
{
    SeedRandom(12345);
    float points[kMaxSparklePoints * 3];
    int lowest[7] = {99, 99, 99, 99, 99, 99, 99};
    int highest[7] = {0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < kSparkleListCount; ++i) {
        const int n = SparklePoints(i, 40.0f, points);
        const int band = i / 160;
        EXPECT_GE(n, 5 + band) << i;
        EXPECT_LE(n, 9 + band) << i;
        lowest[band] = std::min(lowest[band], n);
        highest[band] = std::max(highest[band], n);
    }
    // Every band shows its whole range of five counts.
    for (int band = 0; band < 6; ++band) {
        EXPECT_EQ(lowest[band], 5 + band);
        EXPECT_EQ(highest[band], 9 + band);
    }
    EXPECT_GE(lowest[6], 11);
    EXPECT_LE(highest[6], 15);
}

TEST(Sparkle, FirstCloudSitsOnTheOriginAndTheLastSpreadsOverOneCell)
{
    float points[kMaxSparklePoints * 3];
    SeedRandom(7);
    const int n0 = SparklePoints(0, 40.69f, points);
    for (int p = 0; p < n0 * 3; ++p)
        EXPECT_EQ(points[p], 0.0f);

    // Default grid on a 1024 x 768 desktop: cell = (768/19 + 1024/25) / 2.
    const float cell = (768.0f / 19 + 1024.0f / 25) * 0.5f;
    EXPECT_NEAR(cell, 40.69f, 0.01f);
    const float g = 999 * cell * 0.001f;
    float low = 1e9f, high = -1e9f;
    for (int run = 0; run < 50; ++run) {
        const int n = SparklePoints(999, cell, points);
        for (int p = 0; p < n * 3; ++p) {
            low = std::min(low, points[p]);
            high = std::max(high, points[p]);
        }
    }
    EXPECT_GE(low, -g * 0.5f - 1e-4f);
    EXPECT_LE(high, g * 0.999f - g * 0.5f + 1e-4f);
    EXPECT_NEAR(high - low, 40.6f, 0.5f); // about one cell across
}

TEST(Sparkle, DrawsCountThenYXZOrderFromTheGenerator)
{
    // Seed 1 gives 41, 18467, 6334, 26500, ...: count 41 % 5 + 999 / 160 + 5
    // = 12, then r1 = 467 (y), r2 = 334 (x), r3 = 500 (z).
    SeedRandom(1);
    float points[kMaxSparklePoints * 3];
    const float cell = 40.0f;
    EXPECT_EQ(SparklePoints(999, cell, points), 12);
    const float g = 999 * cell * 0.001f, h = g * 0.5f;
    EXPECT_FLOAT_EQ(points[0], 334 * g * 0.001f - h);
    EXPECT_FLOAT_EQ(points[1], 467 * g * 0.001f - h);
    EXPECT_FLOAT_EQ(points[2], 500 * g * 0.001f - h);
    // 1 + 3 * 12 values were drawn.
    SeedRandom(1);
    for (int i = 0; i < 37; ++i)
        NextRandom();
    const int next = NextRandom();
    SeedRandom(1);
    SparklePoints(999, cell, points);
    EXPECT_EQ(NextRandom(), next);
}
