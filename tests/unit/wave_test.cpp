#include <gtest/gtest.h>

#include <cmath>

#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/wave.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

// A 1000 x 600 desktop on a 4 x 4 grid: vertex (2, 2) sits on the wave
// centre (500, 300), the desktop's centre.
constexpr int kCentre = 2 * 4 + 2;

void WaveGrid(int mode)
{
    SetDefaultSettings();
    Settings.Mode = mode;
    Settings.x_div = 4;
    Settings.y_div = 4;
    screenWidth = 1000;
    screenHeight = 600;
    waveCentre = {500.0f, 300.0f};
    BuildGrid();
    frameCounter = 0;
}

} // namespace

TEST(Wave, AtTheCentreAndTimeZeroEachFormulaGivesItsKnownHeight)
{
    const float expected[] = {0.0f, 20.0f, 0.0f, 0.0f, 30.0f};
    for (int mode = 1; mode <= 4; ++mode) {
        WaveGrid(mode);
        ASSERT_EQ(GridIndex(2, 2), kCentre);
        ASSERT_EQ(gridVertices[kCentre].x, 500.0f);
        ASSERT_EQ(gridVertices[kCentre].y, 300.0f);
        AdvanceWave();
        EXPECT_FLOAT_EQ(gridVertices[kCentre].z, expected[mode]) << "mode " << mode;
    }
}

TEST(Wave, ModeOneIsTwoTravellingPlaneWaves)
{
    WaveGrid(1);
    AdvanceWave();
    // Bounded by twice the amplitude everywhere.
    for (int k = 0; k < gridVertexCount; ++k)
        EXPECT_LE(std::fabs(gridVertices[k].z), 20.0f + 1e-4f);
    // Vertex (0, 2): dx = -500, dy = 0 -> 10 * (1 + cos(-500 * 60 * 0.0001)).
    EXPECT_NEAR(gridVertices[2 * 4 + 0].z, 10.0 * (1.0 + std::cos(-3.0)), 1e-4);

    // Sizes of 0: every vertex moves up and down together.
    WaveGrid(1);
    Settings.xySizeX = 0;
    Settings.xySizeY = 0;
    frameCounter = 77;
    AdvanceWave();
    const float z0 = gridVertices[0].z;
    EXPECT_NEAR(z0, 20.0 * std::cos(77 * 10 * 0.0025), 1e-4);
    for (int k = 0; k < gridVertexCount; ++k)
        EXPECT_EQ(gridVertices[k].z, z0) << k;
}

TEST(Wave, ModeTwoVanishesOnTheCentreRowAtTimeZeroAndWithoutAmplitude)
{
    WaveGrid(2);
    AdvanceWave();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(gridVertices[2 * 4 + i].z, 0.0f) << i; // dy = 0
    // Off the centre row: one radian per pixel, no size scale.
    const double dx = 0 - 500.0, dy = 150 - 300.0;
    EXPECT_NEAR(gridVertices[1 * 4 + 0].z, 10.0 * std::sin(dy) * std::sin(dx), 1e-4);

    WaveGrid(2);
    Settings.xyAmplitude = 0;
    frameCounter = 1234;
    AdvanceWave();
    for (int k = 0; k < gridVertexCount; ++k)
        EXPECT_EQ(std::fabs(gridVertices[k].z), 0.0f) << k;
}

TEST(Wave, ModeThreeReachesTheAmplitudeOnItsFirstRing)
{
    // (dx^2 + dy^2) * 60e-6 = pi / 2 at a radius of about 161.8.
    WaveGrid(3);
    const double radius = std::sqrt((1.5707963267948966) / (60 * 0.000001));
    EXPECT_NEAR(radius, 161.8, 0.1);
    waveCentre = {static_cast<float>(500.0 - radius), 300.0f};
    AdvanceWave();
    EXPECT_NEAR(gridVertices[kCentre].z, 10.0f, 1e-3f);
}

TEST(Wave, ModeFourWeightsYTwiceAndUsesTripleAmplitude)
{
    WaveGrid(4);
    frameCounter = 10;
    AdvanceWave();
    // Vertex (2, 0): dx = 0, dy = -300.
    const double phase = (300.0 * 300.0 * 60 * 0.000002) * 0.25 + 10 * 10 * 0.0025;
    EXPECT_NEAR(gridVertices[0 * 4 + 2].z, 30.0 * std::cos(phase), 1e-3);
    // Vertex (0, 2): dx = -500, dy = 0, the x term at half the weight.
    const double phaseX = (500.0 * 500.0 * 60 * 0.000001) * 0.25 + 10 * 10 * 0.0025;
    EXPECT_NEAR(gridVertices[2 * 4 + 0].z, 30.0 * std::cos(phaseX), 1e-3);
}

TEST(Wave, OtherModesLeaveTheHeightsAlone)
{
    for (int mode : {0, 5, 99, -1}) {
        WaveGrid(mode);
        gridVertices[3].z = 7.0f;
        AdvanceWave();
        EXPECT_EQ(gridVertices[3].z, 7.0f) << mode;
        EXPECT_EQ(gridVertices[kCentre].z, 0.0f) << mode;
    }
}

TEST(Wave, UsesTheFullUnsignedFrameCount)
{
    // 2^32 - 1 frames is a large positive time, not -1.
    WaveGrid(3);
    frameCounter = 0xFFFFFFFFu;
    AdvanceWave();
    const double t = 4294967295.0;
    EXPECT_NEAR(gridVertices[kCentre].z, 10.0 * std::sin(t * 10 * static_cast<double>(0.0025f)),
                1e-3);
}
