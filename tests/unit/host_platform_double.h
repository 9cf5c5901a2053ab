// A recording stand-in for the window system and the Windows 95 libraries under the saver
// host: every call is noted in one log ("post 16 700 0 0", "verify", "flag 1", ...). Closes
// posted to the saver window wait for Pump(); WM_CLOSE destroys it as the system would.
#pragma once

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

namespace host_double {

constexpr WindowHandle kSaver = 700;
constexpr MessageResult kDefault = 0x5A; // the stand-in's default-procedure answer

struct Fake {
    std::vector<std::string> log;
    int closesWaiting = 0; // WM_CLOSE posted to the saver window, not yet delivered
    bool destroyed = false, registerSucceeds = true, win9x = false;
    ScreenPoint cursor = {100, 100};
    std::set<WindowHandle> windows;                    // what IsWindow accepts
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
    p.registerSaverClass = [](uintptr_t, WindowProcedure proc) {
        return fake.registerSucceeds && proc == SaverClassProc;
    };
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

} // namespace host_double
