// The saver host under a recording stand-in for the window system and the Windows 95
// libraries: every call is noted in one log ("post 16 700 0 0", "verify", "flag 1", ...).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/configure_dialog.h"
#include "host/command_line.h"
#include "host/password.h"
#include "host/saver_window.h"
#include "host/saver_window_proc.h"
#include "platform/dialog_templates.h"
#include "platform/platform.h"
#include "platform/win_messages.h"

namespace {

constexpr WindowHandle kSaver = 700;
constexpr MessageResult kDefault = 0x5A; // the stand-in's default-procedure answer

struct Fake {
    std::vector<std::string> log;
    int closesWaiting = 0; // WM_CLOSE posted to the saver window, not yet delivered
    bool destroyed = false, win9x = false;
    ScreenPoint cursor = {100, 100};
    std::set<WindowHandle> windows;                     // what IsWindow accepts
    WindowHandle runningSaver = 0, nextWindow = kSaver; // what FindWindowA finds and creation makes
    uint32_t tick = 1000;
    int64_t passwordValue = -1;               // -1: cannot be read
    std::map<std::string, uintptr_t> modules; // libraries and entry points by name
    std::vector<int32_t> answers;             // of the verifications, in order
    size_t verifications = 0;
    void (*duringVerification)(WindowHandle) = nullptr; // runs inside the first one only
};
inline Fake fake;

// Notes one call: its name and its arguments, separated by blanks.
template <typename... Args> void Note(const char* name, Args... args)
{
    std::ostringstream entry;
    entry << name;
    ((entry << ' ' << args), ...);
    fake.log.push_back(entry.str());
}

// The calls noted since the last look whose first words are one of prefixes (all when none),
// joined by '|'. The log starts afresh.
inline std::string Calls(std::initializer_list<std::string> prefixes = {})
{
    std::string joined;
    for (const std::string& e : fake.log) {
        bool wanted = prefixes.size() == 0;
        for (const std::string& p : prefixes)
            wanted = wanted || (e + " ").rfind(p + " ", 0) == 0;
        joined += wanted ? (joined.empty() ? "" : "|") + e : "";
    }
    fake.log.clear();
    return joined;
}

inline Platform FakePlatform()
{
    Platform p = NativePlatform(); // instance, code page, fault guard: the real ones
    p.registerSaverClass = [](uintptr_t, WindowProcedure proc) { return proc == SaverClassProc; };
    p.createSaverWindow = [](uint32_t ex, const char* title, uint32_t style, int x, int y, int w,
                             int h, WindowHandle parent, uintptr_t) {
        char styles[24];
        snprintf(styles, sizeof styles, "%x %x", ex, style);
        Note("create", styles, title, x, y, w, h, parent);
        if (fake.nextWindow != 0)
            SaverClassProc(fake.nextWindow, kWmCreate, 0, 0); // inside creation, as the system does
        return fake.nextWindow;
    };
    p.runMessageLoop = []() { return Note("loop"), 3; };
    p.postMessage = [](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        Note("post", m, w, wp, lp);
        fake.closesWaiting += w == saverWindow && w != 0 && m == kWmClose ? 1 : 0;
    };
    p.sendMessage = [](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        return Note("send", m), SaverClassProc(w, m, wp, lp);
    };
    p.postQuitMessage = [](int code) { Note("quit", code); };
    p.defWindowProc = [](WindowHandle w, uint32_t m, WParam, LParam) -> MessageResult {
        Note("default", m);
        if (m != kWmClose || fake.destroyed)
            return kDefault;
        fake.destroyed = true;
        return SaverClassProc(w, kWmDestroy, 0, 0), 0;
    };
    p.removeMessage = [](WindowHandle, uint32_t first, uint32_t last) {
        return Note("remove", first, last), false;
    };
    p.getCursorPos = []() { return fake.cursor; };
    p.hideCursor = []() { Note("hide"); };
    p.findWindow = [](const char* className, const char* title) {
        return Note("find", className, title), fake.runningSaver;
    };
    p.setForegroundWindow = [](WindowHandle w) { Note("foreground", w); };
    p.getForegroundWindow = []() -> WindowHandle { return 55; };
    p.isWindow = [](WindowHandle w) { return w != 0 && fake.windows.count(w) != 0; };
    p.getParent = [](WindowHandle) -> WindowHandle { return 900; };
    p.getClientSize = [](WindowHandle, int* w, int* h) { return *w = 152, *h = 112, true; };
    p.getScreenClipBox = []() { return ScreenRect{-10, -20, 790, 580}; };
    p.dialogBox = [](const DialogTemplate* dialog, WindowHandle owner, WindowProcedure proc) {
        EXPECT_EQ(proc, &ConfigureDialogProc);
        return Note("dialog", dialog->id, owner), 9;
    };
    p.isWin9xFamily = []() { return fake.win9x; };
    p.tickCount = []() { return fake.tick; };
    p.sleep = [](uint32_t ms) { Note("sleep", ms); };
    p.readScreenSaveUsePassword = [](uint32_t* value) {
        *value = static_cast<uint32_t>(fake.passwordValue);
        return Note("read"), fake.passwordValue >= 0;
    };
    p.setScreenSaverRunning = [](uint32_t value) { Note("flag", value); };
    p.registerWindowMessage = [](const char* name) -> uint32_t {
        return std::string(name) == "QueryCancelAutoPlay" ? 0xC123 : 0;
    };
    p.loadLibrary = [](const char* name) { return Note("load", name), fake.modules[name]; };
    p.getLoadedLibrary = [](const char* name) { return fake.modules[name]; };
    p.getProcAddress = [](LibraryHandle library, const char* name) {
        return library != 0 ? fake.modules[name] : 0;
    };
    p.freeLibrary = [](LibraryHandle library) { Note("free", library); };
    p.callVerifyScreenSavePwd = [](ProcAddress, WindowHandle w) -> int32_t {
        Note("verify");
        const size_t index = fake.verifications++;
        if (const auto during = std::exchange(fake.duringVerification, nullptr))
            during(w);
        return index < fake.answers.size() ? fake.answers[index] : 0;
    };
    p.callPwdChangePassword = [](ProcAddress, const char* provider, WindowHandle owner,
                                 uint32_t flags, void* reserved) -> uint32_t {
        return Note("change", provider, owner, flags, reserved == nullptr ? "null" : "set"), 0u;
    };
    p.callImmAssociateContext = [](ProcAddress, WindowHandle w, uintptr_t context) {
        return Note("ime", w, context), uintptr_t{28};
    };
    return p;
}

// Delivers the waiting closes, and those they bring, until none is left.
inline void Pump()
{
    for (; fake.closesWaiting > 0; --fake.closesWaiting)
        if (!fake.destroyed)
            SaverClassProc(kSaver, kWmClose, 0, 0);
}

// Puts the stand-in under the host, with the host's globals at their start values and the
// program's procedure noting each message before the default one takes it.
class HostTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        fake = Fake{};
        platform = FakePlatform();
        saverProgramProc = [](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
            return Note("program", m), DefaultSaverProc(w, m, wp, lp);
        };
        isWin9x = isPreview = closeAllowed = passwordPromptActive = 0;
        saverWindow = imeLibrary = imeAssociate = savedInputContext = 0;
        passwordLibrary = passwordVerifier = autoPlayQueryMessage = 0;
        lastCursorPos = {0, 0};
        passwordPromptEndTick = 0xFFFFFFFFu;
    }
    void TearDown() override
    {
        platform = NativePlatform();
        saverModes = {RunSaverWindow, OpenConfiguration, ChangeSaverPassword};
        saverProgramProc = SaverWindowProc;
    }
    // The Windows 95 family with a password asked for and its library there.
    void OfferPassword(std::vector<int32_t> answers = {})
    {
        isWin9x = 1;
        fake.passwordValue = 1;
        fake.modules["PASSWORD.CPL"] = 51;
        fake.modules["VerifyScreenSavePwd"] = 5100;
        fake.answers = std::move(answers);
    }
    // A running full-screen saver window, created, with a clean log.
    void StartFullScreen()
    {
        saverWindow = kSaver;
        SaverClassProc(kSaver, kWmCreate, 0, 0);
        fake.log.clear();
    }
};

using SaverWindow = HostTest;
using Password = HostTest;

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
        int preview;
        MessageResult result;
        const char* calls;
    } cases[] = {
        {kWmCreate, 0, 0, 0x77, "ime 700 0|hide|program 1"},
        {kWmDestroy, 0, 0, 0x77, "ime 700 28|quit 0|program 2"},
        {kWmPaint, 0, 0, 0x77, "hide|program 15"},
        {kWmHelp, 0, 1, 1, "post 83 900 900 5"}, // to the parent, naming the parent
        {kWmContextMenu, kSaver, 1, 1, "post 123 900 900 5"},
        {kWmSysCommand, kScNextWindow, 0, 0, ""},
        {kWmSysCommand, kScScreenSave, 0, 0, ""},
        {kWmSysCommand, kScScreenSave, 1, 0x77, "program 274"},
        {kWmTimer, 1, 0, 0x77, "sleep 0|program 275"},
    };
    for (const auto& c : cases) {
        isPreview = c.preview;
        EXPECT_EQ(SaverClassProc(kSaver, c.message, c.wParam, 5), c.result) << c.message;
        EXPECT_EQ(Calls(), c.calls) << c.message << " preview " << c.preview;
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
        {kWmKeyDown, 'A', true},      {kWmMButtonDown, 16, true},
        {kWmPowerBroadcast, 7, true}, {kWmPower, kPwrCriticalResume, true},
        {kWmPower, 1, false},         {kWmActivateApp, 0, true},
        {kWmActivateApp, 1, false},   {0x0101, 'A', false}, // key up
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultSaverProc(kSaver, c.message, c.wParam, 0), kDefault);
        EXPECT_EQ(Calls(),
                  (c.closes ? "post 16 700 0 0|default " : "default ") + std::to_string(c.message));
    }
}

TEST_F(SaverWindow, MouseClosesOnlyBeyondFourPixelsFromTheReference)
{
    StartFullScreen(); // reference (100, 100)
    const struct {
        ScreenPoint at;
        int closes;
    } moves[] = {
        {{103, 101}, 0}, {{103, 102}, 1},                  // the close makes this the reference
        {{105, 104}, 1}, {{106, 104}, 2}, {{101, 104}, 3}, // to the left counts the same
    };
    for (const auto& m : moves) {
        fake.cursor = m.at;
        DefaultSaverProc(kSaver, kWmMouseMove, 0, 0x12345); // the message's own point is unused
        EXPECT_EQ(fake.closesWaiting, m.closes) << m.at.x << "," << m.at.y;
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

    fake.tick = 5200;      // 200 ms after the refusal a close asks again, and is granted
    fake.destroyed = true; // hold the destruction back
    SaverClassProc(kSaver, kWmClose, 0, 0);
    EXPECT_EQ(Calls({"verify", "default 16"}), "verify|default 16");
    EXPECT_EQ(closeAllowed, 1);
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

    // A stale handle does not count; without a window there is no loop.
    fake.windows = {};
    fake.nextWindow = 0;
    EXPECT_EQ(RunSaverWindow(0), -1);
    EXPECT_EQ(Calls({"flag", "create", "loop"}),
              "flag 1|create 8 96000000 Screen Saver -10 -20 800 600 0|flag 0");
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

TEST_F(Password, AVerificationAsksThroughTheWindowAndNoneFollowsWithin200Milliseconds)
{
    OfferPassword(); // every verification refuses
    LoadPasswordCheck();
    fake.tick = 7000;
    fake.duringVerification = [](WindowHandle) { fake.tick += 30; };
    EXPECT_EQ(AskForPassword(kSaver), 0);
    EXPECT_EQ(Calls({"remove", "send", "verify", "hide"}),
              "remove 275 275|remove 275 275|send 32768|verify|hide");
    EXPECT_EQ(passwordPromptEndTick, 7030u); // read after the library returned
    EXPECT_EQ(passwordPromptActive + closeAllowed, 0);

    // Requests within 200 ms of the last verification's end are refused without asking, also
    // across the wrap of the tick count; an end of 0xFFFFFFFF means none has happened yet.
    const struct {
        uint32_t endTick, now;
        bool asks;
    } cases[] = {
        {1000, 1199, false}, {1000, 1200, true}, {0xFFFFFFF0, 0x50, false}, {0xFFFFFFFF, 5, true}};
    for (const auto& c : cases) {
        passwordPromptEndTick = c.endTick;
        fake.tick = c.now;
        EXPECT_EQ(AskForPassword(kSaver), 0);
        EXPECT_EQ(Calls({"verify"}), c.asks ? "verify" : "") << c.endTick << " -> " << c.now;
        EXPECT_EQ(passwordPromptEndTick, c.asks ? c.now : c.endTick);
    }
}

TEST_F(CommandLine, StartupRunsTheModeBehindTheProgramNameAndExitsWithItsResult)
{
    platform.exitProcess = [](int code) { Note("exit", code), throw code; };
    const struct {
        const char* line;
        const char* calls;
    } cases[] = {
        {"\"C:\\Program Files\\Brittle view.scr\"   ", "dialog 2003 0|exit 9"},
        {"\"C:\\Program Files\\Brittle view.scr\" /s", "saver 0|exit 7"},
        {"bv.scr \x01\x1f/c:1234", "dialog 2003 1234|exit 9"}, // control bytes are skipped too
        {"bv.scr/s", "dialog 2003 0|exit 9"}, // a letter glued to the name belongs to it
        {"bv.scr /x", "exit -1"},
    };
    for (const auto& c : cases) {
        saverInstance = 12345;
        EXPECT_ANY_THROW(SaverStartup(c.line));
        EXPECT_EQ(Calls(), c.calls) << c.line;
        EXPECT_EQ(saverInstance, NativePlatform().moduleInstance());
    }
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
        {0, 7, "saver 0", {"/s", "-S", "S", "/-/s", "/s /p 12", "/save"}},
        {0, 7, "saver 1234", {"/p 1234", "/p1234", "/l 1234", "/p 001234x", "/p 4294968530"}},
        {0, -1, "", {"/p", "/p 0", "/p abc", "/p:1234", "/p 999", "/p 0x4D2", "/a 1234", "/?"}},
        {0, 9, "dialog 2003 55", {"/c", "/c 1234", "/c:999", "/c: 1234"}},
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
}
