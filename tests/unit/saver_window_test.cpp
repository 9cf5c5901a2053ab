// The saver window's two procedures message by message, the mouse test, the
// window's states from Running to Destroyed, and the creation of the window.

#include <gtest/gtest.h>

#include "host_platform_double.h"

using namespace host_double;

namespace {

constexpr uint32_t kWmKeyUp = 0x0101;
constexpr uint32_t kWmLButtonUp = 0x0202;
constexpr uint32_t kWmRButtonUp = 0x0205;
constexpr uint32_t kWmMButtonUp = 0x0208;
constexpr uint32_t kWmMouseWheel = 0x020A;
constexpr uint32_t kWmMouseHWheel = 0x020E;
constexpr uintptr_t kScClose = 0xF060;

const uint32_t kInputMessages[] = {kWmKeyDown,     kWmSysKeyDown,  kWmMouseMove,
                                   kWmLButtonDown, kWmRButtonDown, kWmMButtonDown};

class SaverWindow : public HostTest {};

} // namespace

// ---- SaverClassProc ----

TEST_F(SaverWindow, CreateDetachesTheInputMethodTakesTheCursorAndHidesItInFullScreen)
{
    fake.loaded["IMM32.DLL"] = 0x33;
    fake.entries["ImmAssociateContext"] = 0x3300;
    fake.cursor = {40, 50};
    EXPECT_EQ(SaverClassProc(0x700, kWmCreate, 0, 0), fake.defaultAnswer);
    EXPECT_EQ(fake.imeCalls, (std::vector<std::pair<WindowHandle, uintptr_t>>{{0x700, 0}}));
    EXPECT_EQ(savedInputContext, fake.imePreviousContext);
    EXPECT_EQ(lastCursorPos.x, 40);
    EXPECT_EQ(lastCursorPos.y, 50);
    EXPECT_EQ(fake.cursorHidden, 1);
    EXPECT_TRUE(ProgramSaw(kWmCreate));
    EXPECT_TRUE(fake.libraryLoads.empty()); // an input-method library is never loaded for this

    // Destruction puts the old context back, and posts the quit before the program hears of it.
    fake.log.clear();
    SaverClassProc(0x700, kWmDestroy, 0, 0);
    ASSERT_EQ(fake.imeCalls.size(), 2u);
    EXPECT_EQ(fake.imeCalls[1], (std::pair<WindowHandle, uintptr_t>{0x700, 0x1C}));
    EXPECT_EQ(fake.quits, (std::vector<int>{0}));
    ASSERT_GE(fake.log.size(), 2u);
    EXPECT_EQ(fake.log[0], "quit");
    EXPECT_EQ(fake.log[1], "program 2");
}

TEST_F(SaverWindow, InputMethodIsLeftAloneWhenItsLibraryOrEntryIsMissing)
{
    SaverClassProc(0x700, kWmCreate, 0, 0);
    SaverClassProc(0x700, kWmDestroy, 0, 0);
    fake.loaded["IMM32.DLL"] = 0x33; // loaded, but without the entry point
    SaverClassProc(0x700, kWmCreate, 0, 0);
    SaverClassProc(0x700, kWmDestroy, 0, 0);
    EXPECT_TRUE(fake.imeCalls.empty());
    EXPECT_EQ(fake.quits.size(), 2u);
}

TEST_F(SaverWindow, PreviewCreationNeverHidesTheCursor)
{
    isPreview = 1;
    SaverClassProc(0x700, kWmCreate, 0, 0);
    SaverClassProc(0x700, kWmPaint, 0, 0);
    EXPECT_EQ(fake.cursorHidden, 0);
    EXPECT_TRUE(ProgramSaw(kWmCreate));
    EXPECT_TRUE(ProgramSaw(kWmPaint));
}

TEST_F(SaverWindow, TitleNeverChanges)
{
    EXPECT_EQ(SaverClassProc(0x700, kWmSetText, 0, 1), 0);
    EXPECT_TRUE(fake.programSaw.empty());
    EXPECT_TRUE(fake.defaultCalls.empty());
}

TEST_F(SaverWindow, PaintHidesTheCursorOrBypassesTheProgramWhenClosing)
{
    EXPECT_EQ(SaverClassProc(0x700, kWmPaint, 0, 0), fake.defaultAnswer);
    EXPECT_EQ(fake.cursorHidden, 1);
    EXPECT_TRUE(ProgramSaw(kWmPaint));

    fake = Fake{};
    closeAllowed = 1;
    EXPECT_EQ(SaverClassProc(0x700, kWmPaint, 0, 0), fake.defaultAnswer);
    EXPECT_EQ(fake.cursorHidden, 0);
    EXPECT_TRUE(fake.programSaw.empty());
    ASSERT_EQ(fake.defaultCalls.size(), 1u);
    EXPECT_EQ(fake.defaultCalls[0].message, kWmPaint);
}

TEST_F(SaverWindow, PreviewSendsHelpAndContextMenuToItsParent)
{
    isPreview = 1;
    fake.windows = {0x700, 0x900};
    fake.parents[0x700] = 0x900;
    for (uint32_t message : {kWmHelp, kWmContextMenu}) {
        fake.postedElsewhere.clear();
        EXPECT_EQ(SaverClassProc(0x700, message, 0x700, 0x00200010), 1);
        EXPECT_EQ(fake.postedElsewhere,
                  (std::vector<Message>{{0x900, message, 0x900, 0x00200010}}));
    }
    EXPECT_TRUE(fake.programSaw.empty());

    // A parent that has gone simply drops them.
    fake.windows = {0x700};
    fake.postedElsewhere.clear();
    EXPECT_EQ(SaverClassProc(0x700, kWmContextMenu, 0x700, 0), 1);
    fake.parents.clear();
    EXPECT_EQ(SaverClassProc(0x700, kWmHelp, 0, 0), 1);
    EXPECT_TRUE(fake.postedElsewhere.empty());
    EXPECT_TRUE(fake.programSaw.empty());
}

TEST_F(SaverWindow, FullScreenPassesHelpAndContextMenuOn)
{
    fake.parents[0x700] = 0x900;
    fake.windows = {0x700, 0x900};
    SaverClassProc(0x700, kWmHelp, 0, 0);
    SaverClassProc(0x700, kWmContextMenu, 0x700, 0);
    EXPECT_TRUE(ProgramSaw(kWmHelp));
    EXPECT_TRUE(ProgramSaw(kWmContextMenu));
    EXPECT_TRUE(fake.postedElsewhere.empty());
}

TEST_F(SaverWindow, FullScreenSwallowsTaskSwitchAndAnotherSaverStart)
{
    for (uintptr_t command : {kScNextWindow, kScPrevWindow, kScScreenSave})
        EXPECT_EQ(SaverClassProc(0x700, kWmSysCommand, command, 0), 0);
    EXPECT_TRUE(fake.programSaw.empty());
    EXPECT_TRUE(fake.defaultCalls.empty());

    SaverClassProc(0x700, kWmSysCommand, kScClose, 0);
    EXPECT_EQ(fake.programSaw.size(), 1u);
    isPreview = 1;
    SaverClassProc(0x700, kWmSysCommand, kScScreenSave, 0);
    EXPECT_EQ(fake.programSaw.size(), 2u);
}

TEST_F(SaverWindow, TimerYieldsThenPassesOnUnlessClosing)
{
    SaverClassProc(0x700, kWmTimer, 1, 0);
    EXPECT_EQ(fake.sleeps, (std::vector<uint32_t>{0}));
    ASSERT_EQ(fake.log.size(), 2u);
    EXPECT_EQ(fake.log[0], "sleep");
    EXPECT_EQ(fake.log[1], "program 275");

    fake = Fake{};
    closeAllowed = 1;
    EXPECT_EQ(SaverClassProc(0x700, kWmTimer, 1, 0), 0);
    EXPECT_TRUE(fake.sleeps.empty());
    EXPECT_TRUE(fake.programSaw.empty());
    EXPECT_TRUE(fake.defaultCalls.empty());
}

TEST_F(SaverWindow, InputBypassesTheProgramOnceClosing)
{
    for (uint32_t message : kInputMessages) {
        fake = Fake{};
        closeAllowed = 0;
        SaverClassProc(0x700, message, 0, 0);
        EXPECT_TRUE(ProgramSaw(message)) << message;

        fake = Fake{};
        closeAllowed = 1;
        EXPECT_EQ(SaverClassProc(0x700, message, 0, 0), fake.defaultAnswer) << message;
        EXPECT_TRUE(fake.programSaw.empty()) << message;
        EXPECT_TRUE(fake.queue.empty()) << message;
        ASSERT_EQ(fake.defaultCalls.size(), 1u) << message;
        EXPECT_EQ(fake.defaultCalls[0].message, message);
    }
}

TEST_F(SaverWindow, OtherMessagesPassOnUnchanged)
{
    fake.destroyed = true; // the stand-in's default procedure would destroy on WM_CLOSE
    for (uint32_t message : {kWmShowWindow, kWmActivateApp, kWmClose, kWmApp, 0x0400u}) {
        fake.programSaw.clear();
        SaverClassProc(0x700, message, 3, 4);
        EXPECT_EQ(fake.programSaw, (std::vector<Message>{{0x700, message, 3, 4}})) << message;
    }
}

// ---- DefaultSaverProc ----

TEST_F(SaverWindow, KeysButtonsAndPowerEventsPostACloseEach)
{
    const WindowHandle window = StartFullScreen();
    const struct {
        uint32_t message;
        WParam wParam;
    } closing[] = {{kWmKeyDown, 'A'},      {kWmSysKeyDown, 0x12},          {kWmLButtonDown, 1},
                   {kWmRButtonDown, 2},    {kWmMButtonDown, 16},           {kWmPowerBroadcast, 7},
                   {kWmPowerBroadcast, 0}, {kWmPower, kPwrCriticalResume}, {kWmActivateApp, 0}};
    for (const auto& c : closing) {
        fake.queue.clear();
        fake.defaultCalls.clear();
        EXPECT_EQ(DefaultSaverProc(window, c.message, c.wParam, 0), fake.defaultAnswer);
        EXPECT_EQ(fake.queue, (std::deque<Message>{{window, kWmClose, 0, 0}})) << c.message;
        EXPECT_EQ(fake.defaultCalls.size(), 1u) << c.message;
    }
}

TEST_F(SaverWindow, ReleasesWheelGainingActivationAndOtherPowerEventsDoNotClose)
{
    const WindowHandle window = StartFullScreen();
    const struct {
        uint32_t message;
        WParam wParam;
    } harmless[] = {{kWmKeyUp, 'A'},    {kWmLButtonUp, 0},   {kWmRButtonUp, 0},   {kWmMButtonUp, 0},
                    {kWmMouseWheel, 0}, {kWmMouseHWheel, 0}, {kWmActivateApp, 1}, {kWmPower, 1},
                    {kWmPaint, 0},      {kWmShowWindow, 1}};
    for (const auto& c : harmless)
        DefaultSaverProc(window, c.message, c.wParam, 0);
    EXPECT_TRUE(fake.queue.empty());
    EXPECT_EQ(closeAllowed, 0);
}

TEST_F(SaverWindow, CursorMessagesHideTheCursor)
{
    const WindowHandle window = StartFullScreen();
    fake.cursorHidden = 0;
    EXPECT_EQ(DefaultSaverProc(window, kWmSetCursor, window, 0), 1);
    EXPECT_TRUE(fake.defaultCalls.empty());
    EXPECT_EQ(fake.cursorHidden, 1);
    DefaultSaverProc(window, kWmShowWindow, 1, 0);
    EXPECT_EQ(fake.cursorHidden, 2);
    DefaultSaverProc(window, kWmShowWindow, 0, 0);
    EXPECT_EQ(fake.cursorHidden, 2);
}

TEST_F(SaverWindow, PreviewAndClosingSaverIgnoreInput)
{
    const WindowHandle window = StartFullScreen();
    for (int mode = 0; mode < 3; ++mode) {
        isPreview = mode == 0;
        closeAllowed = mode == 1;
        passwordPromptActive = mode == 2;
        fake.cursor = {900, 900};
        for (uint32_t message : {kWmKeyDown, kWmSysKeyDown, kWmLButtonDown, kWmRButtonDown,
                                 kWmMButtonDown, kWmMouseMove, kWmPowerBroadcast, kWmActivateApp})
            EXPECT_EQ(DefaultSaverProc(window, message, 0, 0), fake.defaultAnswer);
        EXPECT_TRUE(fake.queue.empty()) << "mode " << mode;
    }
    // A preview never closes itself: a close request only gets default handling.
    isPreview = 1;
    closeAllowed = 0;
    passwordPromptActive = 0;
    fake.defaultCalls.clear();
    DefaultSaverProc(window, kWmClose, 0, 0);
    ASSERT_FALSE(fake.defaultCalls.empty());
    EXPECT_EQ(fake.defaultCalls[0].message, kWmClose);
    EXPECT_EQ(closeAllowed, 0);
    EXPECT_EQ(fake.verifications, 0);
}

TEST_F(SaverWindow, MouseClosesOnlyBeyondFourPixelsFromTheReference)
{
    const WindowHandle window = StartFullScreen(); // reference (100, 100)
    fake.cursor = {103, 101};
    DefaultSaverProc(window, kWmMouseMove, 0, 0x12345); // the message's own point is not used
    EXPECT_EQ(CountPosted(kWmClose), 0);
    EXPECT_EQ(lastCursorPos.x, 100);

    fake.cursor = {103, 102};
    DefaultSaverProc(window, kWmMouseMove, 0, 0);
    EXPECT_EQ(CountPosted(kWmClose), 1);
    EXPECT_EQ(lastCursorPos.x, 103);
    EXPECT_EQ(lastCursorPos.y, 102);

    // Up and to the left counts the same.
    fake.queue.clear();
    fake.cursor = {100, 100};
    DefaultSaverProc(window, kWmMouseMove, 0, 0);
    EXPECT_EQ(CountPosted(kWmClose), 1);
}

TEST_F(SaverWindow, CreepingPointerClosesOnceTheTotalExceedsFour)
{
    const WindowHandle window = StartFullScreen();
    const ScreenPoint steps[] = {{101, 100}, {101, 101}, {102, 101}, {102, 102}};
    for (const ScreenPoint& step : steps) {
        fake.cursor = step;
        DefaultSaverProc(window, kWmMouseMove, 0, 0);
        EXPECT_EQ(CountPosted(kWmClose), 0) << step.x << "," << step.y;
    }
    fake.cursor = {103, 102};
    DefaultSaverProc(window, kWmMouseMove, 0, 0);
    EXPECT_EQ(CountPosted(kWmClose), 1);
}

TEST(MouseTest, DistanceIsTheSumOfBothAxesAgainstFour)
{
    EXPECT_FALSE(CursorMovedEnough({0, 0}, {4, 0}));
    EXPECT_TRUE(CursorMovedEnough({0, 0}, {5, 0}));
    EXPECT_FALSE(CursorMovedEnough({0, 0}, {-2, -2}));
    EXPECT_TRUE(CursorMovedEnough({0, 0}, {-2, 3}));
    EXPECT_TRUE(CursorMovedEnough({-1000, 5}, {1000, 5}));
    // Far-apart coordinates stay defined: the 32-bit differences wrap.
    EXPECT_TRUE(CursorMovedEnough({INT32_MIN, 0}, {0, 0}));
    EXPECT_FALSE(CursorMovedEnough({INT32_MAX, 0}, {INT32_MIN, 0}));
}

TEST_F(SaverWindow, PasswordRequestIsAnsweredByTheVerifierOnTheWindows95FamilyOnly)
{
    const WindowHandle window = StartFullScreen();
    // Windows NT family: the platform's default answer.
    EXPECT_EQ(DefaultSaverProc(window, kWmApp, 0, 0), fake.defaultAnswer);
    // Windows 95 family without a password: 1.
    isWin9x = 1;
    EXPECT_EQ(DefaultSaverProc(window, kWmApp, 0, 0), 1);
    // With one: the verifier's answer.
    ArmPassword({0, 1});
    EXPECT_EQ(DefaultSaverProc(window, kWmApp, 0, 0), 0);
    EXPECT_EQ(DefaultSaverProc(window, kWmApp, 0, 0), 1);
    EXPECT_EQ(fake.verifications, 2);
}

TEST_F(SaverWindow, AutoPlayQueryClosesAndAnswersWhetherAPasswordIsInUse)
{
    const WindowHandle window = StartFullScreen();
    autoPlayQueryMessage = 0xC123;
    EXPECT_EQ(DefaultSaverProc(window, 0xC123, 0, 0), 0);
    EXPECT_EQ(CountPosted(kWmClose), 1);
    EXPECT_TRUE(fake.defaultCalls.empty());

    ArmPassword({});
    fake.queue.clear();
    EXPECT_EQ(DefaultSaverProc(window, 0xC123, 0, 0), 1);
    EXPECT_EQ(CountPosted(kWmClose), 1);

    // Where no such message is registered the number means nothing.
    autoPlayQueryMessage = 0;
    fake.queue.clear();
    EXPECT_EQ(DefaultSaverProc(window, 0xC123, 0, 0), fake.defaultAnswer);
    EXPECT_TRUE(fake.queue.empty());
}

// ---- States: Running, Asking, Closing, Destroyed ----

TEST_F(SaverWindow, WindowsNtClosesAtOnceWithoutGrantingFlag)
{
    const WindowHandle window = StartFullScreen();
    SaverClassProc(window, kWmKeyDown, 'A', 0);
    Pump();
    EXPECT_TRUE(fake.destroyed);
    EXPECT_EQ(closeAllowed, 0);
    EXPECT_EQ(fake.quits, (std::vector<int>{0}));
    EXPECT_TRUE(ProgramSaw(kWmDestroy));
    EXPECT_EQ(fake.passwordValueReads, 0);
}

TEST_F(SaverWindow, Windows95WithoutPasswordGrantsTheFirstClose)
{
    isWin9x = 1;
    fake.win9x = true;
    const WindowHandle window = StartFullScreen();
    SaverClassProc(window, kWmLButtonDown, 1, 0);
    SaverClassProc(window, kWmRButtonDown, 2, 0); // a second close waits in the queue
    Pump();
    EXPECT_TRUE(fake.destroyed);
    EXPECT_EQ(closeAllowed, 1);
    EXPECT_EQ(fake.verifications, 0);
    EXPECT_EQ(fake.quits.size(), 1u);
}

TEST_F(SaverWindow, RefusedPasswordKeepsRunningAndGrantedOneCloses)
{
    ArmPassword({0, 1});
    const WindowHandle window = StartFullScreen();

    fake.tick = 5000;
    fake.cursor = {300, 300};
    SaverClassProc(window, kWmKeyDown, 'A', 0);
    Pump();
    EXPECT_FALSE(fake.destroyed);
    EXPECT_EQ(fake.verifications, 1);
    EXPECT_EQ(closeAllowed, 0);
    EXPECT_EQ(passwordPromptActive, 0);
    EXPECT_EQ(lastCursorPos.x, 300); // the mouse reference is renewed
    EXPECT_GE(fake.cursorHidden, 1);

    // Within 200 ms of the refusal: refused without asking.
    fake.tick = 5199;
    SaverClassProc(window, kWmKeyDown, 'B', 0);
    Pump();
    EXPECT_EQ(fake.verifications, 1);
    EXPECT_FALSE(fake.destroyed);

    // After that the next input asks again; this time it is granted.
    fake.tick = 5200;
    SaverClassProc(window, kWmKeyDown, 'C', 0);
    Pump();
    EXPECT_EQ(fake.verifications, 2);
    EXPECT_EQ(closeAllowed, 1);
    EXPECT_TRUE(fake.destroyed);
    EXPECT_TRUE(ProgramSaw(kWmDestroy));
}

TEST_F(SaverWindow, TwoQueuedClosesLeadToOneVerification)
{
    ArmPassword({0, 0});
    const WindowHandle window = StartFullScreen();
    SaverClassProc(window, kWmKeyDown, 'A', 0);
    SaverClassProc(window, kWmMButtonDown, 0, 0);
    EXPECT_EQ(CountPosted(kWmClose), 2);
    Pump();
    EXPECT_EQ(fake.verifications, 1);
    EXPECT_FALSE(fake.destroyed);
}

TEST_F(SaverWindow, NothingCountsWhileAsking)
{
    ArmPassword({0});
    const WindowHandle window = StartFullScreen();
    // While the library asks, the window keeps receiving messages in a nested loop.
    fake.duringVerification = [](WindowHandle w) {
        EXPECT_EQ(passwordPromptActive, 1);
        fake.cursor = {900, 900};
        SaverClassProc(w, kWmKeyDown, 'A', 0);
        SaverClassProc(w, kWmMouseMove, 0, 0);
        EXPECT_EQ(SaverClassProc(w, kWmClose, 0, 0), 0); // refused, not asked again
        EXPECT_EQ(CountPosted(kWmClose), 0);
    };
    SaverClassProc(window, kWmKeyDown, 'A', 0);
    Pump();
    EXPECT_EQ(fake.verifications, 1);
    EXPECT_FALSE(fake.destroyed);
    EXPECT_EQ(passwordPromptActive, 0);
}

TEST_F(SaverWindow, ClosingSaverKeepsPaintTimerAndInputFromTheProgram)
{
    ArmPassword({1});
    const WindowHandle window = StartFullScreen();
    // The verification grants, and before the close goes on more messages arrive.
    fake.duringVerification = [](WindowHandle) {};
    SaverClassProc(window, kWmKeyDown, 'A', 0);
    fake.queue.push_back({window, kWmPaint, 0, 0});
    fake.queue.push_back({window, kWmTimer, 1, 0});
    fake.queue.push_back({window, kWmMouseMove, 0, 0});
    fake.programSaw.clear();
    ASSERT_EQ(fake.queue.front().message, kWmClose);
    const Message close = fake.queue.front();
    fake.queue.pop_front();
    // Hold the destruction back, to see the messages of the Closing state.
    hostPlatform.defWindowProc = [](WindowHandle, uint32_t message, WParam,
                                    LParam) -> MessageResult {
        fake.defaultCalls.push_back({0, message, 0, 0});
        return 0;
    };
    SaverClassProc(close.window, close.message, 0, 0);
    EXPECT_EQ(closeAllowed, 1);
    fake.programSaw.clear();
    Pump();
    EXPECT_TRUE(fake.programSaw.empty());
    // And a further close goes straight to the default procedure without asking.
    SaverClassProc(window, kWmClose, 0, 0);
    EXPECT_EQ(fake.verifications, 1);
    EXPECT_EQ(fake.defaultCalls.back().message, kWmClose);
}

// ---- RunSaverWindow ----

TEST_F(SaverWindow, FullScreenCoversTheClipBoxStaysOnTopAndRunsTheLoop)
{
    fake.clipBox = {0, 0, 1280, 1024};
    fake.loopResult = 0;
    EXPECT_EQ(RunSaverWindow(0), 0);
    EXPECT_EQ(fake.foundClass, "WindowsScreenSaverClass");
    EXPECT_EQ(fake.foundTitle, "Screen Saver");
    ASSERT_EQ(fake.creates.size(), 1u);
    const CreateCall& c = fake.creates[0];
    EXPECT_EQ(c.exStyle, 8u);
    EXPECT_EQ(c.style, 0x96000000u);
    EXPECT_EQ(c.title, "Screen Saver");
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.width, 1280);
    EXPECT_EQ(c.height, 1024);
    EXPECT_EQ(c.parent, 0u);
    EXPECT_EQ(saverWindow, 0x700u);
    EXPECT_EQ(isPreview, 0);
    EXPECT_EQ(fake.raised, (std::vector<WindowHandle>{0x700}));
    // Creation (with the program's own start-up inside it), then the foreground, then the loop.
    std::vector<std::string> order;
    for (const std::string& entry : fake.log)
        if (entry == "create" || entry == "program 1" || entry == "foreground" || entry == "loop")
            order.push_back(entry);
    EXPECT_EQ(order, (std::vector<std::string>{"create", "program 1", "foreground", "loop"}));
}

TEST_F(SaverWindow, FullScreenArmsThePasswordBeforeTheWindowAndDisarmsAfterTheLoop)
{
    isWin9x = 1;
    fake.win9x = true;
    fake.passwordValueReadable = true;
    fake.passwordValue = 1;
    fake.libraries["PASSWORD.CPL"] = 0x51;
    fake.entries["VerifyScreenSavePwd"] = 0x5100;
    fake.clipBox = {-10, -20, 790, 580};
    RunSaverWindow(0);
    EXPECT_EQ(fake.creates[0].x, -10);
    EXPECT_EQ(fake.creates[0].y, -20);
    EXPECT_EQ(fake.creates[0].width, 800);
    EXPECT_EQ(fake.creates[0].height, 600);
    EXPECT_EQ(autoPlayQueryMessage, 0xC123u);
    std::vector<std::string> order;
    for (const std::string& entry : fake.log)
        if (entry == "read password value" || entry == "create" || entry == "loop")
            order.push_back(entry);
    EXPECT_EQ(order, (std::vector<std::string>{"read password value", "create", "loop"}));
    EXPECT_EQ(fake.runningFlags, (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(fake.freed, (std::vector<LibraryHandle>{0x51}));
    EXPECT_EQ(passwordVerifier, 0u);
}

TEST_F(SaverWindow, SecondFullScreenStartRaisesTheFirstAndEndsWithZero)
{
    isWin9x = 1;
    fake.win9x = true;
    fake.runningSaver = 0x500;
    fake.windows = {0x500};
    EXPECT_EQ(RunSaverWindow(0), 0);
    EXPECT_EQ(fake.raised, (std::vector<WindowHandle>{0x500}));
    EXPECT_TRUE(fake.creates.empty());
    EXPECT_EQ(fake.passwordValueReads, 0);
    EXPECT_EQ(fake.loops, 0);
    for (const std::string& entry : fake.log)
        EXPECT_NE(entry, "register");

    // A stale handle (no longer a window) does not count.
    fake = Fake{};
    fake.runningSaver = 0x500;
    fake.loopResult = 0;
    EXPECT_EQ(RunSaverWindow(0), 0);
    EXPECT_EQ(fake.creates.size(), 1u);
}

TEST_F(SaverWindow, PreviewFillsItsParentAndNeverArmsThePassword)
{
    isWin9x = 1;
    fake.win9x = true;
    fake.passwordValueReadable = true;
    fake.passwordValue = 1;
    fake.windows = {0x900};
    fake.clientSizes[0x900] = {152, 112};
    fake.loopResult = 0;
    EXPECT_EQ(RunSaverWindow(0x900), 0);
    ASSERT_EQ(fake.creates.size(), 1u);
    const CreateCall& c = fake.creates[0];
    EXPECT_EQ(c.exStyle, 0u);
    EXPECT_EQ(c.style, 0x52000000u);
    EXPECT_EQ(c.title, "Preview");
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.width, 152);
    EXPECT_EQ(c.height, 112);
    EXPECT_EQ(c.parent, 0x900u);
    EXPECT_EQ(isPreview, 1);
    EXPECT_TRUE(fake.raised.empty());
    EXPECT_EQ(fake.passwordValueReads, 0);
    EXPECT_EQ(fake.cursorHidden, 0);
}

TEST_F(SaverWindow, NoClassOrNoWindowMeansNoLoopAndMinusOne)
{
    fake.registerSucceeds = false;
    EXPECT_EQ(RunSaverWindow(0), -1);
    EXPECT_TRUE(fake.creates.empty());
    EXPECT_EQ(fake.loops, 0);

    fake = Fake{};
    fake.nextWindow = 0;
    EXPECT_EQ(RunSaverWindow(0), -1);
    EXPECT_EQ(fake.creates.size(), 1u);
    EXPECT_EQ(fake.loops, 0);
    EXPECT_TRUE(fake.raised.empty());
}
