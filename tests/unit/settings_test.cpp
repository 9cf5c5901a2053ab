#include <gtest/gtest.h>

#include "core/random.h"
#include "core/settings.h"

TEST(Settings, DefaultsExplodeA25By19GridWithA512By256Texture)
{
    Settings = {};
    Settings.Mode = 3;
    SetDefaultSettings();
    EXPECT_EQ(Settings.Priority, 2);
    EXPECT_EQ(Settings.Mode, 0);
    EXPECT_EQ(Settings.x_div, 25.0f);
    EXPECT_EQ(Settings.y_div, 19.0f);
    EXPECT_EQ(Settings.screenTextureWidth, 512);
    EXPECT_EQ(Settings.screenTextureHeight, 256);
    EXPECT_EQ(Settings.genChildren, 2);
    EXPECT_EQ(Settings.xyGoraud, 1);
    EXPECT_EQ(Settings.useLinear, 0);
    EXPECT_EQ(Settings.useTrails, 0);
    EXPECT_EQ(Settings.enableMovement, 1);
    const float movement[] = {Settings.rotX0, Settings.rotX1, Settings.rotY0, Settings.rotY1,
                              Settings.rotZ0, Settings.rotZ1, Settings.zoom0, Settings.zoom1};
    const float expected[] = {10, 30, 10, 25, 45, 20, 25, 20};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(movement[i], expected[i]) << "movement field " << i;
    const float wave[] = {Settings.xyAmplitude, Settings.xyFrequency1, Settings.xyFrequency2,
                          Settings.xySizeX, Settings.xySizeY};
    const float expectedWave[] = {10, 10, 10, 60, 60};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(wave[i], expectedWave[i]) << "wave field " << i;
}

TEST(Random, FollowsTheLinearCongruentialSequenceOnEveryPlatform)
{
    // Seed 1 is the C library's start state; its first values are well known.
    SeedRandom(1);
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    EXPECT_EQ(NextRandom(), 26500);
    // The state wraps modulo 2^32 and values stay within 15 bits.
    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        int v = NextRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, kRandomMax);
    }
}
