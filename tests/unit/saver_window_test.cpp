// The saver window's two procedures message by message, the mouse test, the
// window's states from Running to Destroyed, and the making of the window.

#include <gtest/gtest.h>

#include "host_platform_double.h"

using namespace host_double;

using SaverWindow = HostTest;

TEST_F(SaverWindow, ClassProcedureSwallowsShortCutsOrPassesOnEachMessage)
{
    saverProgramProc = [](WindowHandle, uint32_t message, WParam, LParam) -> MessageResult {
        return Note("program", message), 0x77;
    };
    fake.windows = {kSaver, 900};
    fake.modules = {{"IMM32.DLL", 33}, {"ImmAssociateContext", 3300}}; // loaded already
    const struct {
        uint32_t message;
        WParam wParam;
        int preview, closing;
        MessageResult result;
        const char* calls;
    } cases[] = {
        {kWmCreate, 0, 0, 0, 0x77, "ime 700 0|hide|program 1"},
        {kWmDestroy, 0, 0, 0, 0x77, "ime 700 28|quit 0|program 2"},
        {kWmSetText, 0, 0, 0, 0, ""},
        {kWmPaint, 0, 0, 0, 0x77, "hide|program 15"},
        {kWmPaint, 0, 1, 0, 0x77, "program 15"},
        {kWmPaint, 0, 0, 1, kDefault, "default 15"},
        {kWmHelp, 0, 1, 0, 1, "post 83 900 900 5"}, // to the parent, naming the parent
        {kWmContextMenu, kSaver, 1, 0, 1, "post 123 900 900 5"},
        {kWmHelp, 0, 0, 0, 0x77, "program 83"},
        {kWmSysCommand, kScNextWindow, 0, 0, 0, ""},
        {kWmSysCommand, kScPrevWindow, 0, 0, 0, ""},
        {kWmSysCommand, kScScreenSave, 0, 0, 0, ""},
        {kWmSysCommand, kScScreenSave, 1, 0, 0x77, "program 274"},
        {kWmSysCommand, 0xF060, 0, 0, 0x77, "program 274"}, // SC_CLOSE
        {kWmTimer, 1, 0, 0, 0x77, "sleep 0|program 275"},
        {kWmTimer, 1, 0, 1, 0, ""},
        {kWmKeyDown, 0, 0, 1, kDefault, "default 256"},
        {kWmMouseMove, 0, 0, 1, kDefault, "default 512"},
    };
    for (const auto& c : cases) {
        isPreview = c.preview;
        closeAllowed = c.closing;
        EXPECT_EQ(SaverClassProc(kSaver, c.message, c.wParam, 5), c.result) << c.message;
        EXPECT_EQ(Calls(), c.calls)
            << c.message << " preview " << c.preview << " closing " << c.closing;
    }
}

TEST_F(SaverWindow, DefaultProcedureClosesOnInputAndPowerEventsOnlyWhileRunning)
{
    StartFullScreen();
    const struct {
        uint32_t message;
        WParam wParam;
        bool closes;
    } cases[] = {
        {kWmKeyDown, 'A', true},      {kWmSysKeyDown, 0x12, true},
        {kWmLButtonDown, 1, true},    {kWmRButtonDown, 2, true},
        {kWmMButtonDown, 16, true},   {kWmPowerBroadcast, 7, true},
        {kWmPowerBroadcast, 0, true}, {kWmPower, kPwrCriticalResume, true},
        {kWmPower, 1, false},         {kWmActivateApp, 0, true},
        {kWmActivateApp, 1, false},   {kWmShowWindow, 0, false},
        {kWmPaint, 0, false},         {0x0101, 'A', false}, // key up
        {0x0202, 0, false},           {0x0205, 0, false},   // button ups
        {0x020A, 0, false},           {0x020E, 0, false},   // wheels
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultSaverProc(kSaver, c.message, c.wParam, 0), kDefault);
        EXPECT_EQ(Calls(),
                  (c.closes ? "post 16 700 0 0|default " : "default ") + std::to_string(c.message));
    }
    EXPECT_EQ(DefaultSaverProc(kSaver, kWmSetCursor, kSaver, 0), 1);
    DefaultSaverProc(kSaver, kWmShowWindow, 1, 0);
    EXPECT_EQ(Calls(), "hide|hide|default 24");
}

TEST_F(SaverWindow, MouseClosesOnlyBeyondFourPixelsFromTheReference)
{
    StartFullScreen(); // reference (100, 100)
    const struct {
        ScreenPoint at;
        int closes;
    } moves[] = {
        {{103, 101}, 0}, {{103, 102}, 1}, // the close makes this the reference
        {{104, 102}, 1}, {{104, 103}, 1}, {{105, 103}, 1},
        {{105, 104}, 1}, {{106, 104}, 2}, {{101, 104}, 3}, // to the left counts the same
    };
    for (const auto& m : moves) {
        fake.cursor = m.at;
        DefaultSaverProc(kSaver, kWmMouseMove, 0, 0x12345); // the message's own point is unused
        EXPECT_EQ(fake.closesWaiting, m.closes) << m.at.x << "," << m.at.y;
    }
    // Far-apart coordinates stay defined: the 32-bit differences wrap.
    EXPECT_TRUE(CursorMovedEnough({INT32_MIN, 0}, {0, 0}));
    EXPECT_FALSE(CursorMovedEnough({INT32_MAX, 0}, {INT32_MIN, 0}));
}

TEST_F(SaverWindow, WithoutPasswordTheFirstCloseEndsTheSaverOnEitherFamily)
{
    for (int family : {0, 1}) {
        SetUp();
        OfferPassword();
        isWin9x = family;
        fake.passwordValue = 0;
        LoadPasswordCheck();
        StartFullScreen();
        autoPlayQueryMessage = family ? 0xC123 : 0; // registered on the 95 family only
        EXPECT_EQ(DefaultSaverProc(kSaver, kWmApp, 0, 0), family ? 1 : kDefault);
        EXPECT_EQ(SaverClassProc(kSaver, 0xC123, 0, 0), family ? 0 : kDefault);
        SaverClassProc(kSaver, kWmKeyDown, 'A', 0);
        SaverClassProc(kSaver, kWmLButtonDown, 0, 0); // closes wait behind each other
        Pump();
        EXPECT_EQ(closeAllowed, family); // granted on the 95 family, never asked on NT
        EXPECT_EQ(Calls({"quit", "program 2", "verify"}), "quit 0|program 2");
    }
}

TEST_F(SaverWindow, RefusedPasswordKeepsRunningUntilAGrantedOne)
{
    OfferPassword({0, 1});
    LoadPasswordCheck();
    StartFullScreen();
    fake.tick = 5000;
    fake.duringVerification = [](WindowHandle w) { // the library's own loop runs in here
        fake.cursor = {300, 300};
        for (uint32_t message : {kWmKeyDown, kWmMouseMove, kWmClose})
            SaverClassProc(w, message, 0, 0);
    };
    autoPlayQueryMessage = 0xC123;
    EXPECT_EQ(SaverClassProc(kSaver, 0xC123, 0, 0), 1); // a password is in use
    SaverClassProc(kSaver, kWmMButtonDown, 0, 0);       // a second close waits behind the first
    Pump();
    // Nothing counts while asking, one verification, the cursor hidden again, no destruction.
    EXPECT_EQ(Calls({"post", "verify", "hide", "default 16"}),
              "post 16 700 0 0|post 16 700 0 0|verify|hide");
    EXPECT_EQ(closeAllowed + passwordPromptActive, 0);
    EXPECT_EQ(lastCursorPos.x, 300); // the mouse reference is renewed

    fake.tick = 5199; // within 200 ms of the refusal: refused without asking
    SaverClassProc(kSaver, kWmKeyDown, 'B', 0);
    Pump();
    EXPECT_EQ(Calls({"post", "verify", "default 16"}), "post 16 700 0 0");
    fake.tick = 5200;      // after that a close asks again, and this time it is granted
    fake.destroyed = true; // hold the destruction back to see the Closing state
    SaverClassProc(kSaver, kWmClose, 0, 0);
    EXPECT_EQ(Calls({"verify", "default 16"}), "verify|default 16");
    EXPECT_EQ(closeAllowed, 1);
    // Closing: paint, timer and input no longer reach the program, nothing else counts.
    for (uint32_t message : {kWmPaint, kWmTimer, kWmMouseMove, kWmKeyDown, kWmActivateApp,
                             kWmPowerBroadcast, kWmSetCursor, kWmClose})
        SaverClassProc(kSaver, message, 0, 0);
    EXPECT_EQ(Calls({"program", "post", "hide", "verify"}),
              "program 28|program 536|program 32|program 16");
}

TEST_F(SaverWindow, FullScreenIsArmedCoversTheScreenAndRunsOnce)
{
    OfferPassword();
    EXPECT_EQ(RunSaverWindow(0), 3); // the loop's result
    EXPECT_EQ(Calls({"find", "read", "flag", "create", "program 1", "hide", "foreground", "loop",
                     "free"}),
              "find WindowsScreenSaverClass Screen Saver|read|flag 1|create 8 96000000 Screen "
              "Saver -10 -20 800 600 0|hide|program 1|foreground 700|loop|free 51|flag 0");
    EXPECT_EQ(autoPlayQueryMessage, 0xC123u);

    // A second start raises the first and ends with 0, arming nothing.
    fake.runningSaver = 500;
    fake.windows = {500};
    EXPECT_EQ(RunSaverWindow(0), 0);
    EXPECT_EQ(Calls(), "find WindowsScreenSaverClass Screen Saver|foreground 500");

    // A stale handle does not count; without a class or a window there is no loop.
    fake.windows = {};
    fake.registerSucceeds = false;
    EXPECT_EQ(RunSaverWindow(0), -1);
    fake.registerSucceeds = true;
    fake.nextWindow = 0;
    EXPECT_EQ(RunSaverWindow(0), -1);
    EXPECT_EQ(Calls({"flag", "create", "loop"}),
              "flag 1|flag 0|flag 1|create 8 96000000 Screen Saver -10 -20 800 600 0|flag 0");
}

TEST_F(SaverWindow, PreviewFillsItsParentNeverArmsAndIgnoresInput)
{
    OfferPassword({1});
    fake.modules["IMM32.DLL"] = 33; // without its entry point: left alone
    EXPECT_EQ(RunSaverWindow(900), 3);
    fake.cursor = {900, 900};
    // Help and the context menu are dropped too: the parent is not a window any more.
    for (uint32_t message : {kWmKeyDown, kWmLButtonDown, kWmMouseMove, kWmActivateApp,
                             kWmPowerBroadcast, kWmSetCursor, kWmHelp, kWmContextMenu, kWmClose})
        SaverClassProc(kSaver, message, 0, 0);
    EXPECT_EQ(Calls({"create", "loop", "read", "ime", "post", "hide", "verify"}),
              "create 0 52000000 Preview 0 0 152 112 900|loop");
}
