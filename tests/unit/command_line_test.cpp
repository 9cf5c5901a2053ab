// The command line: the tail behind the program name, and the mode grammar with
// its exit codes and window numbers, down to the configuration dialog and the
// password change.

#include <gtest/gtest.h>

#include "host_platform_double.h"

using namespace host_double;

namespace {

class CommandLine : public HostTest {
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        fake.windows = {1234, 55};
        fake.modules = {{"MPR.DLL", 77}, {"PwdChangePasswordA", 7700}};
        saverModes.runSaverWindow = [](WindowHandle parent) { return Note("saver", parent), 7; };
    }
};

} // namespace

TEST_F(CommandLine, StartupRunsTheModeBehindTheProgramNameAndExitsWithItsResult)
{
    platform.exitProcess = [](int code) { Note("exit", code), throw code; };
    const struct {
        const char* line;
        const char* calls;
    } cases[] = {
        {"bv.scr", "dialog 2003 0|exit 9"},
        {"\"C:\\Program Files\\Brittle view.scr\"   ", "dialog 2003 0|exit 9"},
        {"\"C:\\Program Files\\Brittle view.scr\" /s", "saver 0|exit 7"},
        {"\"bv.scr\"/p 1234", "saver 1234|exit 7"},
        {"bv.scr\t\t /s", "saver 0|exit 7"}, // tabs and control bytes are skipped too
        {"bv.scr \x01\x1f/c:1234", "dialog 2003 1234|exit 9"},
        {"bv.scr/s", "dialog 2003 0|exit 9"}, // a letter glued to the name belongs to it
        {"\"unterminated name /s", "dialog 2003 0|exit 9"}, // the whole line is the name
        {"bv.scr /x", "exit -1"},
    };
    for (const auto& c : cases) {
        saverInstance = 12345;
        EXPECT_ANY_THROW(SaverStartup(c.line));
        EXPECT_EQ(Calls(), c.calls) << c.line;
        EXPECT_EQ(saverInstance, NativePlatform().moduleInstance());
    }
    // A double-byte code page in which 0x81 leads: its trail bytes never end the name.
    platform.charNext = [](const char* t) {
        return *t == '\0' ? t : t + (static_cast<unsigned char>(*t) == 0x81 && t[1] ? 2 : 1);
    };
    EXPECT_STREQ(FindCommandTail("\"na\x81\"me x\" /s"), "/s");
    EXPECT_STREQ(FindCommandTail("na\x81 me /s"), "/s");
}

TEST_F(CommandLine, ModeLetterPicksTheModeAndItsWindow)
{
    const struct {
        bool win9x;
        int code;
        const char* calls; // the mode that ran, and with which window
        std::vector<const char*> tails;
    } cases[] = {
        {0, 9, "dialog 2003 0", {"", "  -/ "}},
        {0, 7, "saver 0", {"/s", "-S", "S", "//s", "/-/s", "/s /p 12", "/save"}},
        {0, 7, "saver 1234", {"/p 1234", "/p1234", "/P   1234", "/l 1234", "/p 001234x"}},
        {0, 7, "saver 1234", {"/p 4294968530"}}, // wraps modulo 2^32
        {0, -1, "", {"/p", "/p 0", "/p abc", "/p:1234", "/preview 1234", "/p\t1234", "/p 999"}},
        {0, -1, "", {"/p +1234", "/p 0x4D2", "/a 1234", "/x", "/?", "/\ts", "\x01", "/\x80"}},
        {0, 9, "dialog 2003 55", {"/c", "/c 1234", "/c:999", "/c:", "/c: 1234"}},
        {0, 9, "dialog 2003 1234", {"/c:1234"}},
        {1, 0, "load MPR.DLL|change SCRSAVE 1234 0 null|free 77", {"/a 1234"}},
        {1, 0, "load MPR.DLL|change SCRSAVE 55 0 null|free 77", {"/A", "/a 999"}},
    };
    for (const auto& c : cases) {
        for (const char* tail : c.tails) {
            fake.win9x = c.win9x;
            EXPECT_EQ(SaverMain(0, tail), c.code) << tail;
            EXPECT_EQ(Calls(), c.calls) << tail;
            EXPECT_EQ(isWin9x, c.win9x ? 1 : 0);
        }
    }
    EXPECT_EQ(ParseHandleNumber("99999999999"), 1215752191u); // modulo 2^32
}

TEST_F(CommandLine, FaultInAModeClearsTheRunningStateOnThe95FamilyAndEndsWithMinusOne)
{
    platform.runGuarded = [](int (*)(void*), void*, void (*onFault)(), int faultResult) {
        return onFault(), faultResult;
    };
    EXPECT_EQ(SaverMain(0, "/s"), -1);
    fake.win9x = true;
    EXPECT_EQ(SaverMain(0, "/s"), -1);
    EXPECT_EQ(Calls(), "flag 0");
}
