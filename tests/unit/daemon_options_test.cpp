// The saver-daemon command line: which command lines are daemon ones, every
// option with good values (the bad ones are run through the program by
// tests/e2e/daemon_bad_options.sh), laying the options over the settings, and
// the choice of the window to draw in.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <sstream>

#include "core/settings.h"
#include "host/daemon_options.h"

namespace {

// Parses a blank-separated command line (behind a program name).
DaemonParse Parse(const std::string& line, DaemonOptions* options, std::string* message)
{
    std::istringstream in(line);
    std::vector<std::string> words{"brittleview"};
    words.insert(words.end(), std::istream_iterator<std::string>(in), {});
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    return ParseDaemonCommandLine(static_cast<int>(argv.size()), argv.data(), options, message);
}

// The options read, in a short form: only what differs from the defaults.
std::string Describe(const DaemonOptions& o)
{
    std::ostringstream s;
    s << (o.root ? " root" : "") << (o.ownWindow ? " window" : "") << (o.showFps ? " fps" : "");
    if (o.windowId)
        s << " id=" << o.windowId;
    if (o.delayMicros != 20000)
        s << " delay=" << o.delayMicros;
    if (!o.imagePath.empty())
        s << " image=" << o.imagePath;
    if (o.preset >= 0)
        s << " preset=" << o.preset;
    for (const auto& a : o.assignments)
        s << " f" << a.field << "=" << a.value;
    return s.str().empty() ? "" : s.str().substr(1);
}

} // namespace

TEST(DaemonOptions, GoodValuesOfEachOptionAndLinesThatAreNotDaemonOnes)
{
    // clang-format off
    // Not daemon command lines: the classic grammar reads them unchanged.
    const char* classic[] = {
        "", "/s", "-s", "--s", "-S --root", "/p 123", "-p 123", "/c:123", "/a", "/root", "---root",
        "- --root", "--roots", "/x", "root"};
    // "command line => the options read", with one or two dashes, values behind a blank or '='.
    const char* runs[] = {
        "--root => root", "-root -window-id 0x1A2b => root id=6699",
        "--window-id=4294967295 => id=4294967295", "-window => window", "--delay 0 => delay=0",
        "--delay=10000000 => delay=10000000", "--fps => fps", "--fps --no-fps => ",
        "--image /tmp/p.png => image=/tmp/p.png", "--preset explode-1 => preset=0",
        "--preset explode-4 => preset=3", "--preset wave-1 --preset wave-4 => preset=7",
        "--mode explode --mode wave-1 --mode wave-3 => f8=0 f8=1 f8=3",
        "--children 0 --children 10 => f9=0 f9=10", "--trails --no-trails => f14=1 f14=0",
        "--x-divisions 1 --y-divisions 300 => f1=1 f2=300",
        "--texture-width 128 --texture-height 2048 => f12=128 f13=2048",
        "--linear-filtering --no-linear-filtering => f11=1 f11=0",
        "--wave-amplitude 1000 --wave-rate-1 0 --wave-rate-2 07 --wave-size-x 60 --wave-size-y 0"
        " => f3=1000 f4=0 f5=7 f6=60 f7=0",
        "--smooth-shading --no-smooth-shading --movement --no-movement => f10=1 f10=0 f15=1 f15=0",
        "--rotation-x-amplitude 3600 --rotation-x-time 1000 --rotation-y-amplitude 1"
        " --rotation-y-time 2 --rotation-z-amplitude 3 --rotation-z-time 4 --zoom-amplitude 100"
        " --zoom-time 5 => f16=3600 f17=1000 f18=1 f19=2 f20=3 f21=4 f22=100 f23=5",
        "--priority 0 --priority 2 => f0=0 f0=2"};
    // clang-format on
    DaemonOptions options;
    std::string message;
    for (const char* line : classic)
        EXPECT_EQ(Parse(line, &options, &message), DaemonParse::kNotDaemon) << line;
    for (const std::string c : runs) {
        const std::string line = c.substr(0, c.find(" => ")), read = c.substr(c.find(" => ") + 4);
        EXPECT_EQ(Parse(line, &options, &message), DaemonParse::kRun) << line << ": " << message;
        EXPECT_EQ(Describe(options), read) << line;
    }
    EXPECT_EQ(Parse("--help", &options, &message), DaemonParse::kHelp);
    EXPECT_EQ(Parse("-root -help --bogus", &options, &message), DaemonParse::kHelp);
    for (const char* line : {"--version", "-version", "--version --bogus"})
        EXPECT_EQ(Parse(line, &options, &message), DaemonParse::kVersion) << line;
    EXPECT_EQ(Parse("--versions", &options, &message), DaemonParse::kNotDaemon);
}

TEST(DaemonOptions, PresetFirstThenEachAssignmentInOrder)
{
    DaemonOptions options;
    std::string message;
    ASSERT_EQ(Parse("--mode wave-2 --preset explode-4 --children 7 --no-movement --zoom-time 9 "
                    "--mode wave-1 --texture-width 1024",
                    &options, &message),
              DaemonParse::kRun);
    SetDefaultSettings();
    const SettingsRecord defaults = Settings;
    SettingsRecord record = defaults;
    ApplyDaemonOptions(options, &record);
    EXPECT_EQ(record.Mode, 1);            // the preset's 0, then wave-2, then wave-1
    EXPECT_EQ(record.genChildren, 7);     // over the preset's 4
    EXPECT_EQ(record.enableMovement, 0);  // over the preset's 1
    EXPECT_EQ(record.zoom1, 9.0f);        // over the preset's 0
    EXPECT_EQ(record.zoom0, 5.0f);        // the preset's
    EXPECT_EQ(record.x_div, 5.0f);        // the preset's
    EXPECT_EQ(record.xyAmplitude, 10.0f); // kept by an explode preset
    EXPECT_EQ(record.screenTextureWidth, 1024);
    EXPECT_EQ(record.screenTextureHeight, 256);
    EXPECT_EQ(0, memcmp(&Settings, &defaults, sizeof defaults)); // only the record given changes
}

TEST(DaemonOptions, TargetPrecedence)
{
    // clang-format off
    const struct {
        const char *line, *environment, *expected;
    } cases[] = {
        {"--window-id 5 --root --window", "0x10", "foreign 5"}, {"--root --window", "0x10", "foreign 16"},
        {"--root", "77", "foreign 77"}, {"--root", "", "error"}, {"--root", "junk", "error"},
        {"--root", "0", "error"}, {"--root", "0x0", "error"}, {"--root --window", nullptr, "root 0"},
        {"--window", nullptr, "own 0"}, {"--fps", nullptr, "none 0"}};
    // clang-format on
    const char* kinds[] = {"foreign", "root", "own", "none"};
    for (const auto& c : cases) {
        DaemonOptions options;
        DaemonTarget target;
        std::string message;
        ASSERT_EQ(Parse(c.line, &options, &message), DaemonParse::kRun);
        const bool ok = ChooseDaemonTarget(options, c.environment, &target, &message);
        char got[48] = "error";
        if (ok)
            std::snprintf(got, sizeof got, "%s %llu", kinds[target.kind],
                          static_cast<unsigned long long>(target.windowId));
        EXPECT_STREQ(got, c.expected)
            << c.line << " / " << (c.environment ? c.environment : "unset");
        EXPECT_EQ(message.empty(), ok) << message;
    }
}
