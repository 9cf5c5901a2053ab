#include <gtest/gtest.h>

#include <algorithm>

#include "core/random.h"
#include "render/scene.h"

TEST(Sparkle, CountsGrowEvery160CloudsAndDrawsComeInYXZOrder)
{
    SeedRandom(12345);
    float points[kMaxSparklePoints * 3];
    int lowest[7] = {99, 99, 99, 99, 99, 99, 99}, highest[7] = {};
    for (int i = 0; i < kSparkleCloudCount; ++i) {
        const int n = SparklePoints(i, 40.69f, points);
        lowest[i / 160] = std::min(lowest[i / 160], n);
        highest[i / 160] = std::max(highest[i / 160], n);
    }
    for (int band = 0; band < 7; ++band) {
        EXPECT_EQ(lowest[band], 5 + band) << band;
        EXPECT_EQ(highest[band], 9 + band) << band;
    }

    // Seed 1 gives the C library's 41, 18467, 6334, 26500, ... on every
    // platform (the state wraps modulo 2^32, the value keeps 15 bits): count
    // 41 % 5 + 999 / 160 + 5 = 12, then y from 467, x from 334, z from 500,
    // in thousandths of a cell.
    SeedRandom(1);
    EXPECT_EQ(SparklePoints(999, 40.0f, points), 12);
    const float g = 999 * 40.0f * 0.001f;
    EXPECT_NEAR(points[0], (0.334 - 0.5) * g, 1e-4);
    EXPECT_NEAR(points[1], (0.467 - 0.5) * g, 1e-4);
    EXPECT_NEAR(points[2], (0.500 - 0.5) * g, 1e-4);
}
