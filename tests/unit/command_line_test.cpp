// The command line: finding the tail behind the program name, the mode
// grammar with its exit codes, the window numbers and the configuration mode.

#include <gtest/gtest.h>

#include "config/configure_dialog.h"
#include "host_platform_double.h"

using namespace host_double;

namespace {

struct ModeCall {
    std::string mode; // "saver", "config", "password"
    WindowHandle window;
    bool operator==(const ModeCall&) const = default;
};

std::vector<ModeCall> modeCalls;

void RecordModes()
{
    modeCalls.clear();
    saverModes.runSaverWindow = [](WindowHandle parent) {
        modeCalls.push_back({"saver", parent});
        return 7;
    };
    saverModes.openConfiguration = [](WindowHandle owner) {
        modeCalls.push_back({"config", owner});
        return 2;
    };
    saverModes.changeSaverPassword = [](WindowHandle owner) {
        modeCalls.push_back({"password", owner});
    };
}

class CommandLine : public HostTest {
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        RecordModes();
        fake.windows = {1234, 55};
        fake.foreground = 55;
    }
    // Runs the tail and returns the exit code; the mode that ran is in modeCalls.
    int Run(const char* tail)
    {
        modeCalls.clear();
        return SaverMain(0x400000, tail);
    }
};

// A double-byte code page in which 0x81 leads a two-byte character.
const char* StepDoubleByte(const char* text)
{
    if (*text == '\0')
        return text;
    if (static_cast<unsigned char>(*text) == 0x81 && text[1] != '\0')
        return text + 2;
    return text + 1;
}

} // namespace

TEST_F(CommandLine, TailStartsBehindTheProgramNameAndItsBlanks)
{
    const struct {
        const char* line;
        const char* tail;
    } cases[] = {
        {"brittleview", ""},
        {"brittleview   ", ""},
        {"\"C:\\Program Files\\Brittle view.scr\"", ""},
        {"\"C:\\Program Files\\Brittle view.scr\"   ", ""},
        {"\"C:\\Program Files\\Brittle view.scr\" /s", "/s"},
        {"\"bv.scr\"/s", "/s"},
        {"bv.scr /p 1234", "/p 1234"},
        {"bv.scr\t\t /s", "/s"}, // tabs and control bytes are skipped too
        {"bv.scr \x01\x1f/c", "/c"},
        {"bv.scr/s", ""},               // a letter glued to the name belongs to it
        {"\"unterminated name /s", ""}, // the whole line is the name
        {"bv.scr /s /c  ", "/s /c  "},  // only leading blanks are skipped
        {"", ""},
        {"   /s", "/s"}, // no name at all
    };
    for (const auto& c : cases)
        EXPECT_STREQ(FindCommandTail(c.line), c.tail) << "line: " << c.line;
}

TEST_F(CommandLine, TailFindingStepsWholeCharactersOfTheCodePage)
{
    // A trail byte equal to the quote must not end the quoted name.
    hostPlatform.charNext = StepDoubleByte;
    EXPECT_STREQ(FindCommandTail("\"na\x81\"me x\" /s"), "/s");
    EXPECT_STREQ(FindCommandTail("na\x81 me /s"), "/s"); // that blank is a trail byte
}

TEST_F(CommandLine, EmptyTailOpensTheConfigurationWithoutOwner)
{
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"config", 0}}));
    EXPECT_EQ(Run("  -/ "), 2);
    EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"config", 0}}));
}

TEST_F(CommandLine, FullScreenTailsReadOnlyTheLetter)
{
    for (const char* tail : {"/s", "-S", "S", "//s", "/-/s", "/s /p 12", "/save", "s /c"}) {
        EXPECT_EQ(Run(tail), 7) << tail;
        EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"saver", 0}})) << tail;
    }
}

TEST_F(CommandLine, PreviewTailsNameTheParentWindow)
{
    for (const char* tail : {"/p 1234", "/p1234", "/P   1234", "/l 1234", "-L1234", "p 1234 /s",
                             "/p 4294968530"}) { // 2^32 + 1234 wraps to 1234
        EXPECT_EQ(Run(tail), 7) << tail;
        EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"saver", 1234}})) << tail;
    }
}

TEST_F(CommandLine, PreviewWithoutAValidWindowEndsWithMinusOneAndNoWindow)
{
    for (const char* tail :
         {"/p", "/p 0", "/p abc", "/p:1234", "/preview 1234", "/p\t1234", "/p 999", "/l"}) {
        EXPECT_EQ(Run(tail), -1) << tail;
        EXPECT_TRUE(modeCalls.empty()) << tail;
    }
}

TEST_F(CommandLine, ConfigurationOwnerIsTheNamedWindowOnlyBehindAColon)
{
    const struct {
        const char* tail;
        WindowHandle owner;
    } cases[] = {
        {"/c", 55},     {"/c 1234", 55}, {"/c:1234", 1234}, {"/C:1234 /s", 1234},
        {"/c:999", 55}, {"/c:", 55},     {"/c: 1234", 55},  {"c", 55},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.tail), 2) << c.tail;
        EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"config", c.owner}})) << c.tail;
    }
}

TEST_F(CommandLine, PasswordChangeOnlyOnTheWindows95Family)
{
    fake.win9x = false;
    EXPECT_EQ(Run("/a 1234"), -1);
    EXPECT_TRUE(modeCalls.empty());

    fake.win9x = true;
    EXPECT_EQ(Run("/a 1234"), 0);
    EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"password", 1234}}));
    EXPECT_EQ(Run("/A"), 0);
    EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"password", 55}}));
    EXPECT_EQ(Run("/a 999"), 0);
    EXPECT_EQ(modeCalls, (std::vector<ModeCall>{{"password", 55}}));
}

TEST_F(CommandLine, UnknownBytesEndWithMinusOne)
{
    for (const char* tail : {"/x", "/?", "/\ts", "\t/s", "\x01", "/\x80", "\xff", "1234", ":s"}) {
        EXPECT_EQ(Run(tail), -1) << "tail byte " << static_cast<int>(tail[1]);
        EXPECT_TRUE(modeCalls.empty());
    }
}

TEST_F(CommandLine, MainRecordsInstanceAndPlatformFamilyBeforeTheMode)
{
    saverInstance = 0;
    fake.win9x = true;
    saverModes.runSaverWindow = [](WindowHandle) {
        return isWin9x == 1 && saverInstance == 0x1234 ? 0 : 9;
    };
    EXPECT_EQ(SaverMain(0x1234, "/s"), 0);
    fake.win9x = false;
    Run("/x");
    EXPECT_EQ(isWin9x, 0);
}

TEST_F(CommandLine, FaultInAModeClearsTheRunningStateAndEndsWithMinusOne)
{
    fake.win9x = true;
    hostPlatform.runGuarded = [](int (*)(void*), void*, void (*onFault)(), int faultResult) {
        onFault();
        return faultResult;
    };
    EXPECT_EQ(Run("/s"), -1);
    EXPECT_EQ(fake.runningFlags, (std::vector<uint32_t>{0}));
}

TEST_F(CommandLine, StartupEndsTheProcessWithTheModesResult)
{
    const struct {
        const char* line;
        int code;
    } cases[] = {{"bv.scr /x", -1}, {"\"my saver.scr\" /s", 7}, {"bv.scr", 2}, {"bv.scr /p", -1}};
    for (const auto& c : cases) {
        int exitCode = 12345;
        try {
            SaverStartup(c.line);
        } catch (int code) {
            exitCode = code;
        }
        EXPECT_EQ(exitCode, c.code) << c.line;
    }
}

TEST(ParseHandleNumber, ReadsDigitsUntilTheFirstOtherByteAndWraps)
{
    EXPECT_EQ(ParseHandleNumber("1234"), 1234u);
    EXPECT_EQ(ParseHandleNumber("12ab"), 12u);
    EXPECT_EQ(ParseHandleNumber("007"), 7u);
    EXPECT_EQ(ParseHandleNumber(""), 0u);
    EXPECT_EQ(ParseHandleNumber(" 12"), 0u);
    EXPECT_EQ(ParseHandleNumber("-5"), 0u);
    EXPECT_EQ(ParseHandleNumber("+5"), 0u);
    EXPECT_EQ(ParseHandleNumber("0x10"), 0u);
    EXPECT_EQ(ParseHandleNumber("4294967295"), 4294967295u);
    EXPECT_EQ(ParseHandleNumber("4294967296"), 0u);
    EXPECT_EQ(ParseHandleNumber("99999999999"), 1215752191u); // 99999999999 mod 2^32
}

TEST_F(CommandLine, ConfigurationRunsDialog2003WithItsProcedureAndReturnsItsResult)
{
    for (int result : {1, 2, -1}) {
        fake.dialogs.clear();
        fake.dialogResult = result;
        EXPECT_EQ(OpenConfiguration(55), result);
        ASSERT_EQ(fake.dialogs.size(), 1u);
        EXPECT_EQ(fake.dialogs[0].first, 2003);
        EXPECT_EQ(fake.dialogs[0].second, 55u);
        EXPECT_EQ(fake.dialogProc, &ConfigureDialogProc);
    }
    // Through the real mode table: an empty tail reaches the dialog with no owner.
    saverModes.openConfiguration = OpenConfiguration;
    fake.dialogs.clear();
    fake.dialogResult = 1;
    EXPECT_EQ(Run(""), 1);
    ASSERT_EQ(fake.dialogs.size(), 1u);
    EXPECT_EQ(fake.dialogs[0].second, 0u);
}
