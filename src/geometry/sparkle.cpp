#include "geometry/sparkle.h"

#include "core/random.h"
#include "core/settings.h"
#include "geometry/plane.h"

float SparkleCloudPoints[kSparkleCloudCount][kMaxSparklePoints * 3];
int SparkleCloudSize[kSparkleCloudCount];

int SparklePoints(int index, float cell, float* out)
{
    const int count = NextRandom() % 5 + index / 160 + 5;
    const float g = static_cast<float>(index) * cell * 0.001f;
    const float h = g * 0.5f;
    for (int p = 0; p < count; ++p) {
        const int r1 = NextRandom() % 1000;
        const int r2 = NextRandom() % 1000;
        const int r3 = NextRandom() % 1000;
        out[p * 3 + 0] = static_cast<float>(r2) * g * 0.001f - h; // x takes the second value
        out[p * 3 + 1] = static_cast<float>(r1) * g * 0.001f - h;
        out[p * 3 + 2] = static_cast<float>(r3) * g * 0.001f - h;
    }
    return count;
}

void BuildSparkleClouds()
{
    const float cell = (static_cast<float>(screenHeight) / Settings.y_div +
                        static_cast<float>(screenWidth) / Settings.x_div) *
                       0.5f;
    for (int i = 0; i < kSparkleCloudCount; ++i)
        SparkleCloudSize[i] = SparklePoints(i, cell, SparkleCloudPoints[i]);
}

void ReleaseSparkleClouds()
{
    for (int& size : SparkleCloudSize)
        size = 0;
}
