// Arming and disarming the password check, one close request through the
// verification library, and the password change, with stand-ins for the
// Windows 95 libraries (they cannot run here).

#include <gtest/gtest.h>

#include "host_platform_double.h"

using namespace host_double;

namespace {

class Password : public HostTest {
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        isWin9x = 1;
        fake.win9x = true;
    }
    void OfferLibrary(bool withEntry)
    {
        fake.passwordValueReadable = true;
        fake.passwordValue = 1;
        fake.libraries["PASSWORD.CPL"] = 0x51;
        if (withEntry)
            fake.entries["VerifyScreenSavePwd"] = 0x5100;
    }
};

} // namespace

TEST_F(Password, WindowsNtReadsNothingAndLoadsNothing)
{
    isWin9x = 0;
    OfferLibrary(true);
    LoadPasswordCheck();
    EXPECT_EQ(fake.passwordValueReads, 0);
    EXPECT_TRUE(fake.libraryLoads.empty());
    EXPECT_EQ(passwordVerifier, 0u);
    SetSaverRunningFlag(1);
    UnloadPasswordCheck();
    EXPECT_TRUE(fake.runningFlags.empty());
    EXPECT_TRUE(fake.freed.empty());
}

TEST_F(Password, NoValueOrZeroMeansNoPassword)
{
    fake.libraries["PASSWORD.CPL"] = 0x51;
    fake.entries["VerifyScreenSavePwd"] = 0x5100;
    fake.passwordValueReadable = false; // no key, no value, or a value longer than four bytes
    LoadPasswordCheck();
    fake.passwordValueReadable = true;
    fake.passwordValue = 0;
    LoadPasswordCheck();
    EXPECT_EQ(fake.passwordValueReads, 2);
    EXPECT_TRUE(fake.libraryLoads.empty());
    EXPECT_EQ(passwordVerifier, 0u);
    EXPECT_TRUE(fake.runningFlags.empty());
}

TEST_F(Password, MissingLibraryOrEntryMeansNoPasswordAndNothingStaysLoaded)
{
    fake.passwordValueReadable = true;
    fake.passwordValue = 0x100; // any nonzero number
    LoadPasswordCheck();
    EXPECT_EQ(fake.libraryLoads, (std::vector<std::string>{"PASSWORD.CPL"}));
    EXPECT_EQ(passwordLibrary, 0u);

    OfferLibrary(false);
    LoadPasswordCheck();
    EXPECT_EQ(passwordLibrary, 0u);
    EXPECT_EQ(passwordVerifier, 0u);
    EXPECT_EQ(fake.freed, (std::vector<LibraryHandle>{0x51}));
    EXPECT_TRUE(fake.runningFlags.empty()); // the system state is touched only when armed
}

TEST_F(Password, ArmingSetsTheRunningStateAndDisarmingClearsIt)
{
    OfferLibrary(true);
    LoadPasswordCheck();
    EXPECT_EQ(passwordLibrary, 0x51u);
    EXPECT_EQ(passwordVerifier, 0x5100u);
    EXPECT_EQ(fake.runningFlags, (std::vector<uint32_t>{1}));

    // Arming again disarms the first check before it arms anew.
    LoadPasswordCheck();
    EXPECT_EQ(fake.freed, (std::vector<LibraryHandle>{0x51}));
    EXPECT_EQ(fake.runningFlags, (std::vector<uint32_t>{1, 0, 1}));

    UnloadPasswordCheck();
    EXPECT_EQ(passwordLibrary, 0u);
    EXPECT_EQ(passwordVerifier, 0u);
    EXPECT_EQ(fake.freed, (std::vector<LibraryHandle>{0x51, 0x51}));
    EXPECT_EQ(fake.runningFlags, (std::vector<uint32_t>{1, 0, 1, 0}));

    // Disarming what is not armed does nothing.
    UnloadPasswordCheck();
    EXPECT_EQ(fake.freed.size(), 2u);
    EXPECT_EQ(fake.runningFlags.size(), 4u);
}

TEST_F(Password, WithoutPasswordTheFirstRequestIsGrantedAndLaterOnesRefused)
{
    EXPECT_EQ(AskForPassword(0x700), 1);
    EXPECT_EQ(closeAllowed, 1);
    EXPECT_EQ(AskForPassword(0x700), 0); // already closing
    EXPECT_EQ(fake.verifications, 0);
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(Password, RequestWhileAskingIsRefused)
{
    OfferLibrary(true);
    LoadPasswordCheck();
    passwordPromptActive = 1;
    EXPECT_EQ(AskForPassword(0x700), 0);
    EXPECT_EQ(fake.verifications, 0);
    EXPECT_EQ(passwordPromptActive, 1);
}

TEST_F(Password, OneVerificationDropsWaitingTimersAsksThroughTheWindowAndNotesTheEnd)
{
    OfferLibrary(true);
    LoadPasswordCheck();
    saverWindow = 0x700;
    for (int i = 0; i < 3; ++i)
        fake.queue.push_back({0x700, kWmTimer, 1, 0});
    fake.queue.push_back({0x700, kWmClose, 0, 0});
    fake.verifierAnswers = {0};
    fake.tick = 7000;
    fake.tickStep = 30; // each reading of the clock is 30 ms later than the one before
    fake.log.clear();

    EXPECT_EQ(AskForPassword(0x700), 0);
    // Two timer messages are removed (one per call), then WM_APP asks the library.
    std::vector<std::string> order;
    for (const std::string& entry : fake.log)
        if (entry.rfind("remove", 0) == 0 || entry.rfind("send", 0) == 0 || entry == "verify" ||
            entry == "hide cursor")
            order.push_back(entry);
    EXPECT_EQ(order, (std::vector<std::string>{"remove 275", "remove 275", "send 32768", "verify",
                                               "hide cursor"}));
    EXPECT_EQ(CountPosted(kWmTimer), 1);
    EXPECT_EQ(CountPosted(kWmClose), 1);
    // The end is the clock read after the library returned, not the one before it.
    EXPECT_EQ(passwordPromptEndTick, 7030u);
    EXPECT_EQ(passwordPromptActive, 0);
    EXPECT_EQ(closeAllowed, 0);
}

TEST_F(Password, RequestsWithin200MillisecondsOfTheLastVerificationAreRefusedWithoutAsking)
{
    OfferLibrary(true);
    LoadPasswordCheck();
    const struct {
        uint32_t endTick;
        uint32_t now;
        bool asks;
    } cases[] = {
        {1000, 1000, false},        {1000, 1199, false}, {1000, 1200, true},
        {0xFFFFFFF0u, 0x50, false}, // 96 ms across the wrap of the tick count
        {0xFFFFFFF0u, 0xB8, true},  // 200 ms across the wrap
        {0xFFFFFFFFu, 5, true},     // no verification yet
    };
    for (const auto& c : cases) {
        closeAllowed = 0;
        passwordPromptEndTick = c.endTick;
        fake.tick = c.now;
        fake.verifierAnswers = {0};
        fake.verifications = 0;
        EXPECT_EQ(AskForPassword(0x700), 0);
        EXPECT_EQ(fake.verifications, c.asks ? 1 : 0) << c.endTick << " -> " << c.now;
        EXPECT_EQ(passwordPromptEndTick, c.asks ? c.now : c.endTick);
    }
}

TEST_F(Password, GrantedVerificationEndsAllFurtherAsking)
{
    OfferLibrary(true);
    LoadPasswordCheck();
    fake.verifierAnswers = {1, 1};
    const int hiddenBefore = fake.cursorHidden;
    EXPECT_NE(AskForPassword(0x700), 0);
    EXPECT_EQ(closeAllowed, 1);
    EXPECT_EQ(fake.cursorHidden, hiddenBefore); // the cursor is hidden again only on refusal
    fake.tick += 10000;
    EXPECT_EQ(AskForPassword(0x700), 0);
    EXPECT_EQ(fake.verifications, 1);
}

TEST_F(Password, ChangeCallsTheProviderDialogAndFreesTheLibrary)
{
    fake.libraries["MPR.DLL"] = 0x77;
    fake.entries["PwdChangePasswordA"] = 0x7700;
    ChangeSaverPassword(0x1234);
    EXPECT_EQ(fake.passwordChanges, (std::vector<std::string>{"SCRSAVE 0 null"}));
    EXPECT_EQ(fake.passwordChangeOwner, 0x1234u);
    EXPECT_EQ(fake.freed, (std::vector<LibraryHandle>{0x77}));
}

TEST_F(Password, ChangeWithoutLibraryOrEntryDoesNothing)
{
    ChangeSaverPassword(0x1234);
    EXPECT_TRUE(fake.freed.empty());
    fake.libraries["MPR.DLL"] = 0x77;
    ChangeSaverPassword(0x1234);
    EXPECT_TRUE(fake.passwordChanges.empty());
    EXPECT_EQ(fake.freed, (std::vector<LibraryHandle>{0x77}));
}

TEST_F(Password, ChangeModeEndsWithZeroWhateverTheLibraryDid)
{
    saverModes.changeSaverPassword = ChangeSaverPassword;
    fake.windows = {1234};
    EXPECT_EQ(SaverMain(0x400000, "/a 1234"), 0); // no library at all
    fake.libraries["MPR.DLL"] = 0x77;
    fake.entries["PwdChangePasswordA"] = 0x7700;
    EXPECT_EQ(SaverMain(0x400000, "/a 1234"), 0);
    EXPECT_EQ(fake.passwordChangeOwner, 1234u);
}
