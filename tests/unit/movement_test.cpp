#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/frame.h"

namespace {

// Steps on until the channel has turned twice: the extremes of both swings
// (the frame after a turn still moves on) and the frames each took.
struct Swing {
    float peak = -1e9f, trough = 1e9f;
    int up = 0, down = 0;
};
Swing Follow(MovementChannel* c)
{
    Swing s;
    for (; c->rising && s.up < 100000; ++s.up)
        s.peak = std::fmax(s.peak, StepMovementChannel(c));
    s.peak = std::fmax(s.peak, StepMovementChannel(c));
    for (; !c->rising && s.down < 100000; ++s.down)
        s.trough = std::fmin(s.trough, StepMovementChannel(c));
    s.trough = std::fmin(s.trough, StepMovementChannel(c));
    return s;
}

} // namespace

TEST(MovementChannel, DefaultRotationXAndZoomFollowTheirKnownSequences)
{
    MovementChannel x, zoom;
    InitMovementChannel(&x, 10.0f, 30.0f);
    for (float expected : {0.3333f, 0.3556f, 0.3778f, 0.4000f})
        EXPECT_NEAR(StepMovementChannel(&x), expected, 1e-4f);
    const Swing xSwing = Follow(&x);
    EXPECT_NEAR(xSwing.peak, 10.02f, 0.01f);
    EXPECT_NEAR(xSwing.trough, -10.02f, 0.01f);
    EXPECT_NEAR(xSwing.up, 432, 3);
    EXPECT_NEAR(xSwing.down, 900, 5);

    InitZoomChannel(&zoom, 25.0f, 20.0f);
    float previous = StepMovementChannel(&zoom);
    EXPECT_NEAR(previous, 0.0525f, 1e-6f);
    for (int i = 0; i < 100; ++i, previous += 0.00525f)
        EXPECT_NEAR(StepMovementChannel(&zoom) - previous, 0.00525f, 1e-5f) << i;
    for (int swing = 0; swing < 2; ++swing) {
        const Swing s = Follow(&zoom);
        EXPECT_NEAR(s.peak, 2.5095f, 1e-3f) << swing;
        EXPECT_NEAR(s.trough, 0.394f, 1e-3f) << swing;
    }
}

TEST(MovementChannel, ChannelsThatCannotSwingHoldOneValue)
{
    // Zoom channels (1, amplitude, time, value): time 0, as in the explode
    // presets, holds zoom0 / 10; a zoom of 10 or less never swings; zoom 0
    // shrinks the scene to nothing. Rotation channels (0, ...): amplitude 0,
    // a time below one frame, absurd times.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][4] = {{1, 3, 0, 0.3f},    {1, 10, 20, 1},      {1, 5, 20, 0.5f},
                              {1, 0, 20, 0},      {0, 0, 30, 0},       {0, 45, 0.9f, 45},
                              {0, 10, 1e30f, 10}, {0, 10, -1e30f, 10}, {0, 10, inf, 10},
                              {0, 10, nan, 10}};
    for (const auto& c : cases) {
        MovementChannel channel;
        (c[0] != 0 ? InitZoomChannel : InitMovementChannel)(&channel, c[1], c[2]);
        for (int i = 0; i < 3; ++i)
            EXPECT_FLOAT_EQ(StepMovementChannel(&channel), c[3])
                << c[0] << ": " << c[1] << ", " << c[2];
    }
    // The largest period that fits still swings.
    MovementChannel c;
    InitMovementChannel(&c, 10.0f, 2e9f);
    EXPECT_EQ(c.period, 2000000000);
    EXPECT_NE(c.step, 0.0f);
}

TEST(Camera, ResetPutsTheCameraAt300UnitsWithNoTurnAndScaleOne)
{
    CameraState = {1, 2, 3, 4, {5, 6, 7}};
    ResetCamera();
    const CameraStateRecord& c = CameraState;
    EXPECT_EQ(std::vector<float>({c.rotationX, c.rotationY, c.rotationZ, c.scale, c.translation.x,
                                  c.translation.y, c.translation.z}),
              std::vector<float>({0, 0, 0, 1, 0, 0, -300}));
}
