#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "render/frame.h"

namespace {

// The highest and lowest values over the channel's next rise and fall,
// counting the frame after each turn, which still moves on.
std::pair<float, float> Swing(MovementChannel* c)
{
    float peak = -1e9f, trough = 1e9f;
    for (int i = 0; c->rising && i < 100000; ++i)
        peak = std::fmax(peak, StepMovementChannel(c));
    peak = std::fmax(peak, StepMovementChannel(c));
    for (int i = 0; !c->rising && i < 100000; ++i)
        trough = std::fmin(trough, StepMovementChannel(c));
    return {peak, std::fmin(trough, StepMovementChannel(c))};
}

} // namespace

TEST(MovementChannel, DefaultsFollowTheirKnownSequencesAndChannelsThatCannotSwingHoldOneValue)
{
    MovementChannel x, zoom;
    InitMovementChannel(&x, 10.0f, 30.0f);
    for (float expected : {0.3333f, 0.3556f, 0.3778f, 0.4000f})
        EXPECT_NEAR(StepMovementChannel(&x), expected, 1e-4f);
    const auto [peak, trough] = Swing(&x);
    EXPECT_NEAR(peak, 10.02f, 0.01f);
    EXPECT_NEAR(trough, -10.02f, 0.01f);
    // At exactly its high value a channel still rises; it turns once beyond it.
    MovementChannel exact;
    InitMovementChannel(&exact, 1.0f, 2.0f);
    for (float expected : {0.5f, 1.0f, 1.5f, 2.0f, 1.5f})
        EXPECT_EQ(StepMovementChannel(&exact), expected);
    InitZoomChannel(&zoom, 25.0f, 20.0f);
    EXPECT_NEAR(StepMovementChannel(&zoom), 0.0525f, 1e-6f);
    for (int swing = 0; swing < 2; ++swing) {
        const auto [zoomPeak, zoomTrough] = Swing(&zoom);
        EXPECT_NEAR(zoomPeak, 2.5095f, 1e-3f) << swing;
        EXPECT_NEAR(zoomTrough, 0.394f, 1e-3f) << swing;
    }

    // Zoom channels (1, amplitude, time, value): time 0, as in the explode presets, holds
    // zoom0 / 10; a zoom of 10 or less never swings. Rotation channels (0, ...).
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float cases[][4] = {{1, 3, 0, 0.3f}, {1, 10, 20, 1},    {1, 5, 20, 0.5f},
                              {0, 0, 30, 0},   {0, 45, 0.9f, 45}, {0, 10, nan, 10}};
    for (const auto& c : cases) {
        MovementChannel channel;
        (c[0] != 0 ? InitZoomChannel : InitMovementChannel)(&channel, c[1], c[2]);
        for (int i = 0; i < 3; ++i)
            EXPECT_FLOAT_EQ(StepMovementChannel(&channel), c[3])
                << c[0] << ": " << c[1] << ", " << c[2];
    }
}
