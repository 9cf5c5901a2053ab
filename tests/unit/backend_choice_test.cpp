#include <gtest/gtest.h>

#include "app/backend_choice.h"

namespace {

int waylandProbes = 0;
int x11Probes = 0;
bool waylandUp = false;
bool x11Up = false;
bool WaylandProbe() { return ++waylandProbes, waylandUp; }
bool X11Probe() { return ++x11Probes, x11Up; }

} // namespace

TEST(BackendChoice, EnvironmentAndAnswersPickOneBackendAndProbeOnlyWhatMatters)
{
    using R = BackendRequest;
    using B = Backend;
    struct Row {
        const char* variable;
        bool named, wayland, x11;
        B expected;
        int waylandProbes, x11Probes;
    } rows[] = {
        {nullptr, true, true, true, B::kWayland, 1, 0},
        {"", true, false, true, B::kX11, 1, 1},   // named, but no compositor answers
        {nullptr, false, true, true, B::kX11, 0, 1}, // WAYLAND_DISPLAY unset: not tried
        {nullptr, true, false, false, B::kNone, 1, 1},
        {"x11", true, true, true, B::kX11, 0, 1},
        {"x11", true, true, false, B::kNone, 0, 1}, // forced: no falling back to Wayland
        {"wayland", false, true, true, B::kWayland, 1, 0},
        {"wayland", true, false, true, B::kNone, 1, 0},
        {"X11", true, true, true, B::kNone, 0, 0},
        {"wayland ", true, true, true, B::kNone, 0, 0},
    };
    for (const Row& row : rows) {
        waylandProbes = x11Probes = 0;
        waylandUp = row.wayland;
        x11Up = row.x11;
        const R request = ReadBackendRequest(row.variable);
        EXPECT_EQ(ChooseBackend(request, row.named, WaylandProbe, X11Probe), row.expected)
            << (row.variable ? row.variable : "(unset)") << " named=" << row.named;
        EXPECT_EQ(waylandProbes, row.waylandProbes) << (row.variable ? row.variable : "(unset)");
        EXPECT_EQ(x11Probes, row.x11Probes) << (row.variable ? row.variable : "(unset)");
    }
}

TEST(BackendChoice, ClassicModeIsTheFirstByteAfterSeparators)
{
    EXPECT_EQ(ClassicModeOf("/s"), ClassicMode::kFullScreen);
    EXPECT_EQ(ClassicModeOf(" -/S extra"), ClassicMode::kFullScreen);
    EXPECT_EQ(ClassicModeOf("/p 1234"), ClassicMode::kPreview);
    EXPECT_EQ(ClassicModeOf("l 1234"), ClassicMode::kPreview);
    EXPECT_EQ(ClassicModeOf("/a"), ClassicMode::kPassword);
    EXPECT_EQ(ClassicModeOf("/c:77"), ClassicMode::kConfigure);
    EXPECT_EQ(ClassicModeOf(""), ClassicMode::kConfigure);
    EXPECT_EQ(ClassicModeOf("/x"), ClassicMode::kOther);
}
