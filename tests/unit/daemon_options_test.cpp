// The saver-daemon command line: which command lines are daemon ones, what
// each option does to the settings record, every bad value's one-line
// refusal, and the choice of the window to draw in.

#include <gtest/gtest.h>

#include <cstdio>
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

// What the options ask for, in a short form: the options that are not
// settings, then every field of the resulting record that is not the default.
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
    SetDefaultSettings();
    SettingsRecord record = Settings;
    ApplyDaemonOptions(o, &record);
    for (const SettingField& f : kSettingFields) {
        const double got = f.intField ? record.*f.intField : record.*f.floatField;
        if (got != (f.intField ? Settings.*f.intField : Settings.*f.floatField))
            s << " " << f.name << "=" << got;
    }
    return s.str().empty() ? "" : s.str().substr(1);
}

} // namespace

TEST(DaemonOptions, WhatEachOptionDoesToTheRecord)
{
    // clang-format off
    // Not daemon command lines: the classic grammar reads them unchanged.
    const char* classic[] = {
        "", "/s", "-S --root", "/p 123", "/c:123", "/root", "---root", "- --root", "--roots", "root"};
    // "command line => what it asks for", one or two dashes, values behind a blank or '='.
    const char* runs[] = {
        "-root -window-id 0x1A2b => root id=6699", "-window --delay 0 => window delay=0",
        "--fps --no-fps --image=/tmp/p.png => image=/tmp/p.png",
        "--preset wave-1 --preset explode-4 => x_div=5 y_div=5 genChildren=4 rotX0=0 rotX1=0 "
        "rotY0=30 rotY1=30 rotZ0=20 rotZ1=10 zoom0=5 zoom1=0",
        "--mode wave-2 --preset explode-1 --mode wave-3 --children 7 --trails --no-trails"
        " => x_div=30 y_div=25 Mode=3 genChildren=7 rotX0=45 rotY0=45 zoom0=3 zoom1=0",
        "--x-divisions 1 --y-divisions 300 --texture-width 128 --texture-height 2048 --no-movement"
        " --no-smooth-shading --no-linear-filtering --linear-filtering => x_div=1 y_div=300 xyGoraud=0"
        " useLinear=1 screenTextureWidth=128 screenTextureHeight=2048 enableMovement=0",
        "--wave-amplitude 1000 --wave-rate-1 0 --wave-rate-2 07 --wave-size-x 61 --wave-size-y 0"
        " => xyAmplitude=1000 xyFrequency1=0 xyFrequency2=7 xySizeX=61 xySizeY=0",
        "--rotation-x-amplitude 3600 --rotation-x-time 1000 --rotation-y-amplitude 1"
        " --rotation-y-time 2 --rotation-z-amplitude 3 --rotation-z-time 4 --zoom-amplitude 100"
        " --zoom-time 5 => rotX0=3600 rotX1=1000 rotY0=1 rotY1=2 rotZ0=3 rotZ1=4 zoom0=100 zoom1=5"};
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
    EXPECT_EQ(Parse("-root -help --bogus", &options, &message), DaemonParse::kHelp);
    EXPECT_EQ(Parse("-version --bogus", &options, &message), DaemonParse::kVersion);
}

TEST(DaemonOptions, EveryBadValueIsOneLineNamingOptionAndValue)
{
    // clang-format off
    // "command line|the message"
    const char* bad[] = {
        "--root --bogus|unknown option \"--bogus\" (--help lists the options)",
        "--root stray|unexpected argument \"stray\" (--help lists the options)",
        "--root=1|--root takes no value", "--delay|--delay needs a value (N)",
        "--preset Explode1|--preset: \"Explode1\" is not a preset (explode-1..explode-4, wave-1..wave-4)",
        "--texture-height 4096|--texture-height: \"4096\" is not one of 128, 256, 512, 1024, 2048",
        "--delay -1|--delay: \"-1\" is not a whole number from 0 to 10000000",
        "--children=11|--children: \"11\" is not a whole number from 0 to 10",
        "--wave-rate-1 99999999999999999999999|--wave-rate-1: \"99999999999999999999999\" is not a whole number from 0 to 1000",
        "--window-id 0x|--window-id: \"0x\" is not a window number (decimal, or hex with 0x)",
        "--window-id 0x100000000|--window-id: \"0x100000000\" is not a window number (decimal, or hex with 0x)",
        "--window-id 12z|--window-id: \"12z\" is not a window number (decimal, or hex with 0x)"};
    // clang-format on
    DaemonOptions options;
    std::string message;
    for (const std::string c : bad) {
        const std::string line = c.substr(0, c.find('|'));
        EXPECT_EQ(Parse(line, &options, &message), DaemonParse::kError) << line;
        EXPECT_EQ(message, c.substr(c.find('|') + 1)) << line;
    }
}

TEST(DaemonOptions, TargetPrecedence)
{
    // clang-format off
    const struct {
        const char *line, *environment, *expected;
    } cases[] = {
        {"--window-id 5 --root --window", "0x10", "foreign 5"}, {"--root --window", "0x10", "foreign 16"},
        {"--fps", "77", "foreign 77"}, {"--root", "", "root 0"}, {"--window", "0x1234567", "own 0"},
        {"--root", "junk", "error"}, {"--root --window", nullptr, "root 0"}, {"--fps", "", "own 0"}};
    // clang-format on
    for (const auto& c : cases) {
        DaemonOptions options;
        DaemonTarget target;
        std::string message;
        ASSERT_EQ(Parse(c.line, &options, &message), DaemonParse::kRun);
        const bool ok = ChooseDaemonTarget(options, c.environment, &target, &message);
        const char* kinds[] = {"foreign", "root", "own"};
        char got[48] = "error";
        if (ok)
            std::snprintf(got, sizeof got, "%s %llu", kinds[static_cast<int>(target.kind)],
                          static_cast<unsigned long long>(target.windowId));
        EXPECT_STREQ(got, c.expected)
            << c.line << " / " << (c.environment ? c.environment : "unset");
        EXPECT_EQ(message.empty(), ok) << message;
    }
}
