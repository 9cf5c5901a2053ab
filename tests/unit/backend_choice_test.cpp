#include <gtest/gtest.h>

#include "app/backend_choice.h"

namespace {

// Each probe counts its calls and answers as the row says.
int probes[2];
bool up[2];
bool WaylandProbe()
{
    return ++probes[0], up[0];
}
bool X11Probe()
{
    return ++probes[1], up[1];
}

} // namespace

TEST(BackendChoice, EnvironmentAndAnswersPickOneBackendAndProbeOnlyWhatMatters)
{
    using B = Backend;
    struct Row {
        const char* variable;
        bool named, wayland, x11;
        B expected;
        int waylandProbes, x11Probes;
    } rows[] = {
        {nullptr, true, true, true, B::kWayland, 1, 0},
        {"", true, false, true, B::kX11, 1, 1},      // named, but no compositor answers
        {nullptr, false, true, true, B::kX11, 0, 1}, // WAYLAND_DISPLAY unset: not tried
        {"x11", true, true, false, B::kNone, 0, 1},  // forced: no falling back to Wayland
        {"wayland", false, true, true, B::kWayland, 1, 0},
        {"wayland", true, false, true, B::kNone, 1, 0},
        {"X11", true, true, true, B::kNone, 0, 0},
    };
    for (const Row& row : rows) {
        probes[0] = probes[1] = 0;
        up[0] = row.wayland;
        up[1] = row.x11;
        const char* label = row.variable ? row.variable : "(unset)";
        EXPECT_EQ(
            ChooseBackend(ReadBackendRequest(row.variable), row.named, WaylandProbe, X11Probe),
            row.expected)
            << label << " named=" << row.named;
        EXPECT_EQ(probes[0], row.waylandProbes) << label;
        EXPECT_EQ(probes[1], row.x11Probes) << label;
    }
}

TEST(BackendChoice, ClassicModeIsTheFirstByteAfterSeparators)
{
    EXPECT_EQ(ClassicModeOf(" -/S extra"), ClassicMode::kFullScreen);
    EXPECT_EQ(ClassicModeOf("/p 1234"), ClassicMode::kPreview);
    EXPECT_EQ(ClassicModeOf("/c:77"), ClassicMode::kConfigure);
    EXPECT_EQ(ClassicModeOf(""), ClassicMode::kConfigure);
    EXPECT_EQ(ClassicModeOf("/x"), ClassicMode::kOther);
}
