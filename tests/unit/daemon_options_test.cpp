// The saver-daemon command line: which command lines are daemon ones, every
// option with good and bad values, laying the options over the settings, and
// the choice of the window to draw in.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "core/settings.h"
#include "host/daemon_options.h"

namespace {

// Parses a blank-separated command line (behind a program name).
DaemonParse Parse(const std::string& line, DaemonOptions* options, std::string* message)
{
    std::vector<std::string> words{"brittleview"};
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.push_back(w);
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    return ParseDaemonCommandLine(static_cast<int>(argv.size()), argv.data(), options, message);
}

// The options read, in a short form: only what differs from the defaults.
std::string Describe(const DaemonOptions& o)
{
    std::string s;
    auto add = [&s](const std::string& part) { s += (s.empty() ? "" : " ") + part; };
    if (o.root)
        add("root");
    if (o.ownWindow)
        add("window");
    if (o.windowId)
        add("id=" + std::to_string(o.windowId));
    if (o.delayMicros != 20000)
        add("delay=" + std::to_string(o.delayMicros));
    if (o.showFps)
        add("fps");
    if (!o.imagePath.empty())
        add("image=" + o.imagePath);
    if (o.preset >= 0)
        add("preset=" + std::to_string(o.preset));
    for (const auto& a : o.assignments)
        add("f" + std::to_string(a.field) + "=" + std::to_string(static_cast<long>(a.value)));
    return s;
}

} // namespace

TEST(DaemonOptions, EachOptionAndEachBadValue)
{
    using P = DaemonParse;
    const struct {
        const char* line;
        DaemonParse result;
        const char* expected; // kRun: Describe(); kError: part of the message
    } cases[] = {
        // Not a daemon command line: the classic grammar reads it unchanged.
        {"", P::kNotDaemon, ""},
        {"/s", P::kNotDaemon, ""},
        {"-s", P::kNotDaemon, ""},
        {"--s", P::kNotDaemon, ""},
        {"-S --root", P::kNotDaemon, ""},
        {"/p 123", P::kNotDaemon, ""},
        {"-p 123", P::kNotDaemon, ""},
        {"/c:123", P::kNotDaemon, ""},
        {"/a", P::kNotDaemon, ""},
        {"/root", P::kNotDaemon, ""},
        {"---root", P::kNotDaemon, ""},
        {"- --root", P::kNotDaemon, ""},
        {"--roots", P::kNotDaemon, ""},
        {"/x", P::kNotDaemon, ""},
        {"root", P::kNotDaemon, ""},
        // One or two dashes, a value behind a blank or '='.
        {"--root", P::kRun, "root"},
        {"-root -window-id 0x1A2b", P::kRun, "root id=6699"},
        {"--window-id=4294967295", P::kRun, "id=4294967295"},
        {"-window", P::kRun, "window"},
        {"--delay 0", P::kRun, "delay=0"},
        {"--delay=10000000", P::kRun, "delay=10000000"},
        {"--fps", P::kRun, "fps"},
        {"--fps --no-fps", P::kRun, ""},
        {"--image /tmp/p.png", P::kRun, "image=/tmp/p.png"},
        {"--preset explode-1", P::kRun, "preset=0"},
        {"--preset explode-4", P::kRun, "preset=3"},
        {"--preset wave-1 --preset wave-4", P::kRun, "preset=7"},
        {"--mode explode --mode wave-1 --mode wave-3", P::kRun, "f8=0 f8=1 f8=3"},
        {"--children 0 --children 10", P::kRun, "f9=0 f9=10"},
        {"--trails --no-trails", P::kRun, "f14=1 f14=0"},
        {"--x-divisions 1 --y-divisions 300", P::kRun, "f1=1 f2=300"},
        {"--texture-width 128 --texture-height 2048", P::kRun, "f12=128 f13=2048"},
        {"--linear-filtering --no-linear-filtering", P::kRun, "f11=1 f11=0"},
        {"--wave-amplitude 1000 --wave-rate-1 0 --wave-rate-2 07 --wave-size-x 60 --wave-size-y 0",
         P::kRun, "f3=1000 f4=0 f5=7 f6=60 f7=0"},
        {"--smooth-shading --no-smooth-shading --movement --no-movement", P::kRun,
         "f10=1 f10=0 f15=1 f15=0"},
        {"--rotation-x-amplitude 3600 --rotation-x-time 1000 --rotation-y-amplitude 1 "
         "--rotation-y-time 2 --rotation-z-amplitude 3 --rotation-z-time 4 --zoom-amplitude 100 "
         "--zoom-time 5",
         P::kRun, "f16=3600 f17=1000 f18=1 f19=2 f20=3 f21=4 f22=100 f23=5"},
        {"--priority 0 --priority 2", P::kRun, "f0=0 f0=2"},
        {"--help", P::kHelp, ""},
        {"-root -help --bogus", P::kHelp, ""},
        // Errors name the option and the value.
        {"--root --bogus", P::kError, "unknown option \"--bogus\""},
        {"--root stray", P::kError, "unexpected argument \"stray\""},
        {"--root -s", P::kError, "\"-s\""},
        {"--root=1", P::kError, "--root takes no value"},
        {"--delay abc", P::kError, "--delay: \"abc\""},
        {"--delay -1", P::kError, "\"-1\""},
        {"--delay 1.5", P::kError, "\"1.5\""},
        {"--delay 10000001", P::kError, "\"10000001\""},
        {"--delay", P::kError, "--delay needs a value"},
        {"--delay=", P::kError, "\"\""},
        {"--window-id 0", P::kError, "--window-id: \"0\""},
        {"--window-id 0x0", P::kError, "\"0x0\""},
        {"--window-id 0x", P::kError, "\"0x\""},
        {"--window-id 0x100000000", P::kError, "\"0x100000000\""},
        {"--window-id 12z", P::kError, "\"12z\""},
        {"--window-id -5", P::kError, "\"-5\""},
        {"--window-id 0xg1", P::kError, "\"0xg1\""},
        {"--image", P::kError, "needs a value"},
        {"--image=", P::kError, "--image"},
        {"--preset wave-5", P::kError, "\"wave-5\""},
        {"--preset Explode1", P::kError, "--preset: \"Explode1\""},
        {"--mode wave-4", P::kError, "--mode: \"wave-4\""},
        {"--mode 1", P::kError, "\"1\""},
        {"--children 11", P::kError, "--children: \"11\""},
        {"--children -1", P::kError, "\"-1\""},
        {"--x-divisions 0", P::kError, "--x-divisions"},
        {"--y-divisions 301", P::kError, "301"},
        {"--texture-width 300", P::kError, "--texture-width: \"300\""},
        {"--texture-height 4096", P::kError, "\"4096\""},
        {"--priority 3", P::kError, "\"3\""},
        {"--zoom-amplitude 101", P::kError, "\"101\""},
        {"--rotation-z-amplitude 3601", P::kError, "\"3601\""},
        {"--wave-amplitude 1e3", P::kError, "\"1e3\""},
        {"--wave-rate-1 99999999999999999999999", P::kError, "--wave-rate-1"},
    };
    for (const auto& c : cases) {
        DaemonOptions options;
        std::string message = "stale";
        EXPECT_EQ(Parse(c.line, &options, &message), c.result) << c.line;
        if (c.result == DaemonParse::kError) {
            EXPECT_NE(message.find(c.expected), std::string::npos) << c.line << ": " << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        } else if (c.result == DaemonParse::kRun) {
            EXPECT_EQ(Describe(options), c.expected) << c.line;
        }
    }
    const std::string usage = DaemonUsage();
    for (const char* name : {"--root", "--window-id ID", "--preset NAME", "--zoom-time N",
                             "--priority N", "--no-smooth-shading"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
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
    using T = DaemonTarget;
    const struct {
        uint64_t id;
        bool root, window;
        const char* environment;
        bool ok;
        T::Kind kind;
        uint64_t windowId;
    } cases[] = {
        {5, true, true, "0x10", true, T::kForeignWindow, 5},
        {0, true, true, "0x10", true, T::kForeignWindow, 16},
        {0, true, false, "77", true, T::kForeignWindow, 77},
        {0, true, false, "", false, T::kNone, 0},
        {0, true, false, "junk", false, T::kNone, 0},
        {0, true, false, "0", false, T::kNone, 0},
        {0, true, false, "0x0", false, T::kNone, 0},
        {0, true, true, nullptr, true, T::kRootWindow, 0},
        {0, false, true, nullptr, true, T::kOwnWindow, 0},
        {0, false, false, nullptr, true, T::kNone, 0},
    };
    for (const auto& c : cases) {
        DaemonOptions options;
        options.windowId = c.id;
        options.root = c.root;
        options.ownWindow = c.window;
        DaemonTarget target;
        std::string message;
        EXPECT_EQ(ChooseDaemonTarget(options, c.environment, &target, &message), c.ok);
        EXPECT_EQ(message.empty(), c.ok) << message;
        if (c.ok) {
            EXPECT_EQ(target.kind, c.kind);
            EXPECT_EQ(target.windowId, c.windowId);
        }
    }
}

#ifdef BV_DATA_DIR
// Every argument that the screen-saver settings app can build from
// brittleview.xml must be accepted.
TEST(DaemonOptions, EveryArgumentOfTheSettingsAppXmlIsAccepted)
{
    std::ifstream file(BV_DATA_DIR "/brittleview.xml");
    ASSERT_TRUE(file) << BV_DATA_DIR;
    const std::string xml{std::istreambuf_iterator<char>(file), {}};
    const std::regex tag(R"(<(command|number|boolean|option|file)\s([^>]*)>)");
    const std::regex attribute(R"(([\w-]+)="([^"]*)\")");
    std::vector<std::string> lines;
    for (std::sregex_iterator t(xml.begin(), xml.end(), tag), end; t != end; ++t) {
        std::map<std::string, std::string> a;
        const std::string body = (*t)[2];
        for (std::sregex_iterator m(body.begin(), body.end(), attribute); m != end; ++m)
            a[(*m)[1]] = (*m)[2];
        for (const char* key : {"arg-set", "arg-unset"})
            if (a.count(key))
                lines.push_back(a[key]);
        const std::string arg = a["arg"];
        const size_t percent = arg.find('%');
        if (percent == std::string::npos && !arg.empty())
            lines.push_back(arg);
        for (const char* key : {"low", "high", "default"})
            if (percent != std::string::npos && (a.count(key) || (*t)[1] == "file"))
                lines.push_back(
                    std::string(arg).replace(percent, 1, a.count(key) ? a[key] : "x.png"));
    }
    EXPECT_GT(lines.size(), 60u);
    for (const std::string& line : lines) {
        DaemonOptions options;
        std::string message;
        EXPECT_EQ(Parse("--root " + line, &options, &message), DaemonParse::kRun)
            << line << ": " << message;
    }
    // The XML offers every option (one state of each switch is enough), and
    // the manual page describes every one.
    std::ifstream manFile(BV_DATA_DIR "/brittleview.6");
    const std::string man{std::istreambuf_iterator<char>(manFile), {}};
    const std::regex usageName(R"(\n  --([\w-]+))");
    const std::string usage = DaemonUsage();
    for (std::sregex_iterator m(usage.begin(), usage.end(), usageName), end; m != end; ++m) {
        const std::string name = (*m)[1];
        const std::string base = name.rfind("no-", 0) == 0 ? name.substr(3) : name;
        if (base != "window" && base != "window-id" && base != "help") {
            EXPECT_TRUE(xml.find("\"--" + base) != std::string::npos ||
                        xml.find("\"--no-" + base) != std::string::npos)
                << name;
        }
        EXPECT_NE(man.find("\\-\\-" + std::regex_replace(name, std::regex("-"), "\\-")),
                  std::string::npos)
            << name;
    }
}
#endif
