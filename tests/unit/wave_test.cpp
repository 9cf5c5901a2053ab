#include <gtest/gtest.h>

#include <cmath>

#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/plane.h"
#include "geometry/wave.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

// A 1000 x 600 desktop on a 4 x 4 grid: vertex (2, 2) sits on the wave
// centre (500, 300); vertex (0, 2) is 500 to its left, (2, 0) 300 below it.
constexpr int kCentre = 2 * 4 + 2, kLeft = 2 * 4, kBelow = 2;

void Wave(int mode, uint32_t frame = 0, float amplitude = 10, float size = 60)
{
    SetDefaultSettings();
    Settings.Mode = mode;
    Settings.x_div = Settings.y_div = 4;
    Settings.xyAmplitude = amplitude;
    Settings.xySizeX = Settings.xySizeY = size;
    SetPlaneSize(1000, 600); // the wave centre is the desktop's middle
    BuildGrid();
    frameCounter = frame;
    AdvanceWave();
}

} // namespace

TEST(Wave, EachModeGivesItsKnownHeights)
{
    // Mode, frame, vertex, height. Mode 2 runs one radian per pixel without the
    // size (plus a quarter at frame 10) and vanishes on the centre row; mode 4
    // weighs y twice as much as x; 2^32 - 1 frames is a large positive time, not -1.
    const double cases[][4] = {
        {1, 0, kCentre, 20},
        {4, 0, kCentre, 30},
        {1, 0, kLeft, 10 * (1 + std::cos(-500 * 60 * 1e-4))},
        {2, 10, 4, 10 * std::sin(-149.75) * std::sin(-499.75)},
        {4, 10, kBelow, 30 * std::cos(300 * 300 * 120e-6 / 4 + 0.25)},
        {4, 10, kLeft, 30 * std::cos(500 * 500 * 60e-6 / 4 + 0.25)},
        {3, 4294967295.0, kCentre, 10 * std::sin(4294967295.0 * 10 * double{0.0025f})}};
    for (const auto& c : cases) {
        Wave(static_cast<int>(c[0]), static_cast<uint32_t>(c[1]));
        EXPECT_NEAR(gridVertices[static_cast<int>(c[2])].z, c[3], 1e-3)
            << "mode " << c[0] << " vertex " << c[2];
    }
}

TEST(Wave, TheFirstRingPeaksAndOtherModesLeaveTheSurfaceAlone)
{
    // Mode 3 reaches the amplitude on its first ring: 60e-6 r^2 = pi / 2 at r = 161.8.
    Wave(3);
    waveCentre = {500.0f - 161.8f, 300.0f};
    AdvanceWave();
    EXPECT_NEAR(gridVertices[kCentre].z, 10.0f, 1e-3f);
    for (int mode : {0, 5, -1}) {
        Wave(mode);
        gridVertices[3].z = 7.0f;
        AdvanceWave();
        EXPECT_EQ(gridVertices[3].z, 7.0f) << mode;
    }
}
