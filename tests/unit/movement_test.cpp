#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/frame.h"

TEST(MovementChannel, DefaultRotationXClimbsFromJustAboveZeroAndSwingsPastTen)
{
    MovementChannel c;
    InitMovementChannel(&c, 10.0f, 30.0f);
    EXPECT_EQ(c.low, -10.0f);
    EXPECT_EQ(c.high, 10.0f);
    EXPECT_EQ(c.period, 30);
    EXPECT_EQ(c.phase, 15);
    EXPECT_EQ(c.rising, 1);
    EXPECT_NEAR(c.step, 0.6667f, 1e-4f);
    EXPECT_NEAR(c.inversePeriod, 1.0f / 30.0f, 1e-7f);

    const float first[] = {0.3333f, 0.3556f, 0.3778f, 0.4000f};
    for (float expected : first)
        EXPECT_NEAR(StepMovementChannel(&c), expected, 1e-4f);

    // Count on until the value passes 10, then follow the swing down.
    int frames = 4;
    float value = 0.0f;
    while ((value = StepMovementChannel(&c)) <= 10.0f && frames < 10000)
        ++frames;
    EXPECT_NEAR(frames, 435, 2);
    // It turns one frame after passing the top.
    EXPECT_EQ(c.rising, 0);
    const float peak = std::fmax(value, StepMovementChannel(&c));
    EXPECT_NEAR(peak, 10.02f, 0.01f);
    EXPECT_LE(peak, 10.0f + 2 * 0.0223f); // overshoots by at most two steps

    int halfSwing = 0;
    float trough = peak;
    while (c.rising == 0 && halfSwing < 10000) {
        trough = std::fmin(trough, StepMovementChannel(&c));
        ++halfSwing;
    }
    trough = std::fmin(trough, StepMovementChannel(&c)); // the frame after the turn
    EXPECT_NEAR(trough, -10.02f, 0.01f);
    EXPECT_NEAR(halfSwing, 900, 5);
    // from 0 down to the trough: half of ~900
}

TEST(MovementChannel, DefaultZoomStartsAt0Point0525AndGrowsBy0Point00525)
{
    MovementChannel z;
    InitZoomChannel(&z, 25.0f, 20.0f);
    EXPECT_EQ(z.high, 2.5f);
    EXPECT_NEAR(z.low, 0.4f, 1e-7f);
    EXPECT_EQ(z.period, 20);
    EXPECT_EQ(z.phase, 10);
    EXPECT_NEAR(z.step, 0.105f, 1e-6f);

    float previous = StepMovementChannel(&z);
    EXPECT_NEAR(previous, 0.0525f, 1e-6f);
    float peak = previous;
    int frames = 1;
    while (z.rising && frames < 10000) {
        const float v = StepMovementChannel(&z);
        if (z.rising) {
            EXPECT_NEAR(v - previous, 0.00525f, 1e-5f);
        }
        peak = std::fmax(peak, v);
        previous = v;
        ++frames;
    }
    peak = std::fmax(peak, StepMovementChannel(&z)); // the frame after the turn
    EXPECT_NEAR(peak, 2.5095f, 1e-3f);
    float trough = peak;
    while (!z.rising && frames < 20000) {
        trough = std::fmin(trough, StepMovementChannel(&z));
        ++frames;
    }
    trough = std::fmin(trough, StepMovementChannel(&z));
    EXPECT_NEAR(trough, 0.394f, 1e-3f);
    // From now on it stays between about 0.394 and 2.51.
    for (int i = 0; i < 2000; ++i) {
        const float v = StepMovementChannel(&z);
        EXPECT_GT(v, 0.39f);
        EXPECT_LT(v, 2.52f);
    }
}

TEST(MovementChannel, ChannelsWithStepZeroHoldHigh)
{
    MovementChannel c;
    // Zoom time 0 (the explode presets): constant zoom0 / 10.
    InitZoomChannel(&c, 3.0f, 0.0f);
    EXPECT_EQ(c.step, 0.0f);
    EXPECT_EQ(c.inversePeriod, 0.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(StepMovementChannel(&c), 0.3f);
    EXPECT_EQ(c.phase, 0);

    // A zoom of 10 or less never swings, whatever its time.
    InitZoomChannel(&c, 10.0f, 20.0f);
    EXPECT_EQ(c.step, 0.0f);
    EXPECT_FLOAT_EQ(StepMovementChannel(&c), 1.0f);
    InitZoomChannel(&c, 5.0f, 20.0f);
    EXPECT_FLOAT_EQ(StepMovementChannel(&c), 0.5f);

    // A zoom of 0 shrinks the scene to nothing and stays finite.
    InitZoomChannel(&c, 0.0f, 20.0f);
    EXPECT_EQ(c.step, 0.0f);
    EXPECT_EQ(StepMovementChannel(&c), 0.0f);

    // Rotation amplitude 0: holds 0. Time below 1: holds the amplitude.
    InitMovementChannel(&c, 0.0f, 30.0f);
    EXPECT_EQ(StepMovementChannel(&c), 0.0f);
    InitMovementChannel(&c, 45.0f, 0.9f);
    EXPECT_EQ(c.period, 0);
    EXPECT_EQ(StepMovementChannel(&c), 45.0f);
    EXPECT_EQ(StepMovementChannel(&c), 45.0f);
}

TEST(MovementChannel, AbsurdTimesGiveAConstantChannelNotAnOverflow)
{
    MovementChannel c;
    const float absurd[] = {1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    for (float time : absurd) {
        InitMovementChannel(&c, 10.0f, time);
        EXPECT_EQ(c.period, 0) << time;
        EXPECT_EQ(StepMovementChannel(&c), 10.0f) << time;
    }
    // The largest period that fits still swings.
    InitMovementChannel(&c, 10.0f, 2e9f);
    EXPECT_EQ(c.period, 2000000000);
    EXPECT_NE(c.step, 0.0f);
}

TEST(Camera, ResetPutsTheCameraAt300UnitsWithNoTurnAndScaleOne)
{
    CameraState = {1, 2, 3, 4, {5, 6, 7}};
    ResetCamera();
    EXPECT_EQ(CameraState.rotationX, 0.0f);
    EXPECT_EQ(CameraState.rotationY, 0.0f);
    EXPECT_EQ(CameraState.rotationZ, 0.0f);
    EXPECT_EQ(CameraState.scale, 1.0f);
    EXPECT_EQ(CameraState.translation.x, 0.0f);
    EXPECT_EQ(CameraState.translation.y, 0.0f);
    EXPECT_EQ(CameraState.translation.z, -300.0f);
}
