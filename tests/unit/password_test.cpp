// Arming the password check, close requests through the verification library
// and the password change, with stand-ins for the Windows 95 libraries.

#include <gtest/gtest.h>

#include "host_platform_double.h"

using namespace host_double;

using Password = HostTest;

TEST_F(Password, ArmedOnlyOnThe95FamilyWhenAskedForAndLibraryAndEntryAreThere)
{
    const struct {
        int family;
        int64_t value;
        LibraryHandle library;
        ProcAddress entry;
        const char* calls;
    } cases[] = {
        {0, 1, 51, 5100, ""},      // the NT family reads nothing and loads nothing
        {1, -1, 51, 5100, "read"}, // no key, no value, or a value longer than four bytes
        {1, 0, 51, 5100, "read"},
        {1, 0x100, 0, 5100, "read|load PASSWORD.CPL"},
        {1, 0x100, 51, 0, "read|load PASSWORD.CPL|free 51"},
        {1, 1, 51, 5100, "read|load PASSWORD.CPL|flag 1"},
    };
    for (const auto& c : cases) {
        isWin9x = c.family;
        fake.passwordValue = c.value;
        fake.modules = {{"PASSWORD.CPL", c.library}, {"VerifyScreenSavePwd", c.entry}};
        LoadPasswordCheck();
        EXPECT_EQ(Calls(), c.calls);
    }
    // Arming again disarms first; disarming twice does nothing the second time.
    LoadPasswordCheck();
    UnloadPasswordCheck();
    UnloadPasswordCheck();
    EXPECT_EQ(Calls(), "free 51|flag 0|read|load PASSWORD.CPL|flag 1|free 51|flag 0");
    EXPECT_EQ(passwordVerifier, 0u);
}

TEST_F(Password, OneVerificationAsksThroughTheWindowAndNoneFollowsWithin200Milliseconds)
{
    OfferPassword({0, 1});
    LoadPasswordCheck();
    fake.tick = 7000;
    fake.duringVerification = [](WindowHandle) { fake.tick += 30; };
    EXPECT_EQ(AskForPassword(kSaver), 0);
    EXPECT_EQ(Calls({"remove", "send", "verify", "hide"}),
              "remove 275 275|remove 275 275|send 32768|verify|hide");
    EXPECT_EQ(passwordPromptEndTick, 7030u); // read after the library returned
    EXPECT_EQ(passwordPromptActive + closeAllowed, 0);

    // Granted: no further verification, and the cursor is not hidden again.
    fake.tick += 200;
    EXPECT_EQ(AskForPassword(kSaver), 1);
    fake.tick += 10000;
    EXPECT_EQ(AskForPassword(kSaver), 0);
    EXPECT_EQ(Calls({"verify", "hide"}), "verify");
    EXPECT_EQ(closeAllowed, 1);

    // Requests within 200 ms of the last verification's end are refused without asking.
    closeAllowed = 0;
    // Across the wrap of the tick count 0x50 is 96 ms after 0xFFFFFFF0 and 0xB8 is 200 ms after
    // it; an end of 0xFFFFFFFF means that no verification has happened yet.
    const struct {
        uint32_t endTick, now;
        bool asks;
    } cases[] = {{1000, 1000, false},       {1000, 1199, false},      {1000, 1200, true},
                 {0xFFFFFFF0, 0x50, false}, {0xFFFFFFF0, 0xB8, true}, {0xFFFFFFFF, 5, true}};
    for (const auto& c : cases) {
        passwordPromptEndTick = c.endTick;
        fake.tick = c.now;
        EXPECT_EQ(AskForPassword(kSaver), 0);
        EXPECT_EQ(Calls({"verify"}), c.asks ? "verify" : "") << c.endTick << " -> " << c.now;
        EXPECT_EQ(passwordPromptEndTick, c.asks ? c.now : c.endTick);
    }
}
