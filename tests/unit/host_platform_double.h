// A recording stand-in for the platform under the saver host, with a small
// message queue of its own: posted messages wait until Pump() hands them to
// SaverClassProc, the default window procedure destroys the window on
// WM_CLOSE the way the system does (WM_DESTROY through the chain first), and
// the password and input-method libraries are whatever a test lists.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "host/command_line.h"
#include "host/host_platform.h"
#include "host/password.h"
#include "host/saver_window.h"
#include "host/win_messages.h"

namespace host_double {

struct Message {
    WindowHandle window;
    uint32_t message;
    WParam wParam;
    LParam lParam;
    bool operator==(const Message&) const = default;
};

struct CreateCall {
    uint32_t exStyle;
    std::string title;
    uint32_t style;
    int x, y, width, height;
    WindowHandle parent;
};

// Everything the stand-in records and everything a test may arrange.
struct Fake {
    std::vector<std::string> log; // the calls in the order they came
    std::deque<Message> queue;    // posted to the saver window, not yet delivered
    std::vector<Message> postedElsewhere;
    std::vector<Message> defaultCalls;
    std::vector<Message> programSaw; // what reached the program's procedure
    std::vector<int> quits;
    bool destroyed = false;
    MessageResult defaultAnswer = 0x5A;

    ScreenPoint cursor = {100, 100};
    int cursorHidden = 0;
    std::vector<uint32_t> sleeps;

    std::vector<WindowHandle> windows; // what isWindow accepts
    WindowHandle foreground = 0;
    std::vector<WindowHandle> raised;
    std::map<WindowHandle, WindowHandle> parents;
    std::map<WindowHandle, std::pair<int, int>> clientSizes;
    ScreenRect clipBox = {0, 0, 1024, 768};
    WindowHandle runningSaver = 0; // what FindWindowA finds
    std::string foundClass, foundTitle;

    bool registerSucceeds = true;
    WindowHandle nextWindow = 0x700;
    std::vector<CreateCall> creates;
    int loopResult = 0;
    int loops = 0;

    bool win9x = false;
    uint32_t tick = 1000;
    uint32_t tickStep = 0; // added after every read, to see which read was kept
    bool passwordValueReadable = false;
    uint32_t passwordValue = 0;
    int passwordValueReads = 0;
    std::vector<uint32_t> runningFlags;
    std::map<std::string, LibraryHandle> libraries; // loadable by LoadLibraryA
    std::map<std::string, LibraryHandle> loaded;    // already in the process
    std::map<std::string, ProcAddress> entries;     // by entry point name
    std::vector<std::string> libraryLoads;
    std::vector<LibraryHandle> freed;
    std::vector<int32_t> verifierAnswers; // one per verification, in order
    int verifications = 0;
    void (*duringVerification)(WindowHandle) = nullptr;
    std::vector<std::string> passwordChanges;
    WindowHandle passwordChangeOwner = 0;
    std::vector<std::pair<WindowHandle, uintptr_t>> imeCalls;
    uintptr_t imePreviousContext = 0x1C;

    int dialogResult = 1;
    std::vector<std::pair<int, WindowHandle>> dialogs;
    WindowProcedure dialogProc = nullptr;
};

inline Fake fake;

inline bool Contains(const std::vector<WindowHandle>& list, WindowHandle window)
{
    for (WindowHandle w : list)
        if (w == window)
            return true;
    return false;
}

// The program's procedure as SaverWindowProc must behave: record, then forward.
inline MessageResult RecordingProgramProc(WindowHandle window, uint32_t message, WParam wParam,
                                          LParam lParam)
{
    fake.programSaw.push_back({window, message, wParam, lParam});
    fake.log.push_back("program " + std::to_string(message));
    return DefaultSaverProc(window, message, wParam, lParam);
}

inline const HostPlatform kFakePlatform = {
    // registerSaverClass
    [](uintptr_t, WindowProcedure proc) {
        fake.log.push_back("register");
        return fake.registerSucceeds && proc == SaverClassProc;
    },
    // createSaverWindow: WM_CREATE inside, as the system does
    [](uint32_t exStyle, const char* title, uint32_t style, int x, int y, int width, int height,
       WindowHandle parent, uintptr_t) -> WindowHandle {
        fake.log.push_back("create");
        fake.creates.push_back({exStyle, title, style, x, y, width, height, parent});
        if (fake.nextWindow == 0)
            return 0;
        fake.windows.push_back(fake.nextWindow);
        SaverClassProc(fake.nextWindow, kWmCreate, 0, 0);
        return fake.nextWindow;
    },
    // runMessageLoop
    []() {
        fake.log.push_back("loop");
        ++fake.loops;
        return fake.loopResult;
    },
    // postMessage
    [](WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
        fake.log.push_back("post " + std::to_string(message));
        if (window == saverWindow && saverWindow != 0)
            fake.queue.push_back({window, message, wParam, lParam});
        else
            fake.postedElsewhere.push_back({window, message, wParam, lParam});
    },
    // sendMessage: a window of this thread runs its procedure at once
    [](WindowHandle window, uint32_t message, WParam wParam, LParam lParam) -> MessageResult {
        fake.log.push_back("send " + std::to_string(message));
        return SaverClassProc(window, message, wParam, lParam);
    },
    // postQuitMessage
    [](int code) {
        fake.log.push_back("quit");
        fake.quits.push_back(code);
    },
    // defWindowProc: WM_CLOSE destroys the window
    [](WindowHandle window, uint32_t message, WParam wParam, LParam lParam) -> MessageResult {
        fake.defaultCalls.push_back({window, message, wParam, lParam});
        if (message == kWmClose && !fake.destroyed) {
            fake.log.push_back("destroy");
            fake.destroyed = true;
            SaverClassProc(window, kWmDestroy, 0, 0);
            return 0;
        }
        return fake.defaultAnswer;
    },
    // removeMessage
    [](WindowHandle window, uint32_t first, uint32_t last) {
        fake.log.push_back("remove " + std::to_string(first));
        for (auto it = fake.queue.begin(); it != fake.queue.end(); ++it) {
            if (it->window == window && it->message >= first && it->message <= last) {
                fake.queue.erase(it);
                return true;
            }
        }
        return false;
    },
    // getCursorPos
    []() { return fake.cursor; },
    // hideCursor
    []() {
        fake.log.push_back("hide cursor");
        ++fake.cursorHidden;
    },
    // findWindow
    [](const char* className, const char* title) {
        fake.foundClass = className;
        fake.foundTitle = title;
        return fake.runningSaver;
    },
    // setForegroundWindow
    [](WindowHandle window) {
        fake.log.push_back("foreground");
        fake.raised.push_back(window);
    },
    // getForegroundWindow
    []() { return fake.foreground; },
    // isWindow
    [](WindowHandle window) { return window != 0 && Contains(fake.windows, window); },
    // getParent
    [](WindowHandle window) -> WindowHandle {
        auto it = fake.parents.find(window);
        return it == fake.parents.end() ? 0 : it->second;
    },
    // getClientSize
    [](WindowHandle window, int* width, int* height) {
        auto it = fake.clientSizes.find(window);
        if (it == fake.clientSizes.end())
            return false;
        *width = it->second.first;
        *height = it->second.second;
        return true;
    },
    // getScreenClipBox
    []() { return fake.clipBox; },
    // dialogBox
    [](int templateId, WindowHandle owner, WindowProcedure proc) {
        fake.dialogs.push_back({templateId, owner});
        fake.dialogProc = proc;
        return fake.dialogResult;
    },
    // moduleInstance
    []() -> uintptr_t { return 0x400000; },
    // isWin9xFamily
    []() { return fake.win9x; },
    // charNext: bytes
    [](const char* text) { return *text != '\0' ? text + 1 : text; },
    // exitProcess: tests catch the code
    [](int code) { throw code; },
    // runGuarded: no fault
    [](int (*body)(void*), void* argument, void (*)(), int) { return body(argument); },
    // tickCount
    []() {
        const uint32_t now = fake.tick;
        fake.tick += fake.tickStep;
        return now;
    },
    // sleep
    [](uint32_t milliseconds) {
        fake.log.push_back("sleep");
        fake.sleeps.push_back(milliseconds);
    },
    // readScreenSaveUsePassword
    [](uint32_t* value) {
        fake.log.push_back("read password value");
        ++fake.passwordValueReads;
        if (fake.passwordValueReadable)
            *value = fake.passwordValue;
        return fake.passwordValueReadable;
    },
    // setScreenSaverRunning
    [](uint32_t value) { fake.runningFlags.push_back(value); },
    // registerWindowMessage
    [](const char* name) -> uint32_t {
        return std::strcmp(name, "QueryCancelAutoPlay") == 0 ? 0xC123u : 0u;
    },
    // loadLibrary
    [](const char* name) -> LibraryHandle {
        fake.libraryLoads.push_back(name);
        auto it = fake.libraries.find(name);
        return it == fake.libraries.end() ? 0 : it->second;
    },
    // getLoadedLibrary
    [](const char* name) -> LibraryHandle {
        auto it = fake.loaded.find(name);
        return it == fake.loaded.end() ? 0 : it->second;
    },
    // getProcAddress
    [](LibraryHandle library, const char* name) -> ProcAddress {
        auto it = fake.entries.find(name);
        return library != 0 && it != fake.entries.end() ? it->second : 0;
    },
    // freeLibrary
    [](LibraryHandle library) { fake.freed.push_back(library); },
    // callVerifyScreenSavePwd
    [](ProcAddress, WindowHandle window) -> int32_t {
        fake.log.push_back("verify");
        const size_t index = static_cast<size_t>(fake.verifications++);
        if (fake.duringVerification != nullptr)
            fake.duringVerification(window);
        return index < fake.verifierAnswers.size() ? fake.verifierAnswers[index] : 0;
    },
    // callPwdChangePassword
    [](ProcAddress, const char* provider, WindowHandle owner, uint32_t flags,
       void* reserved) -> uint32_t {
        fake.passwordChanges.push_back(std::string(provider) + " " + std::to_string(flags) +
                                       (reserved == nullptr ? " null" : " set"));
        fake.passwordChangeOwner = owner;
        return 0;
    },
    // callImmAssociateContext
    [](ProcAddress, WindowHandle window, uintptr_t context) -> uintptr_t {
        fake.imeCalls.push_back({window, context});
        return fake.imePreviousContext;
    },
};

// Hands every queued message to the class procedure until the queue is empty.
inline void Pump()
{
    while (!fake.queue.empty()) {
        const Message next = fake.queue.front();
        fake.queue.pop_front();
        if (!fake.destroyed)
            SaverClassProc(next.window, next.message, next.wParam, next.lParam);
    }
}

inline int CountPosted(uint32_t message)
{
    int count = 0;
    for (const Message& m : fake.queue)
        count += m.message == message ? 1 : 0;
    return count;
}

inline bool ProgramSaw(uint32_t message)
{
    for (const Message& m : fake.programSaw)
        if (m.message == message)
            return true;
    return false;
}

// Puts the stand-in under the host and the host's globals back to their start
// values; everything real comes back afterwards.
class HostTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        savedPlatform_ = hostPlatform;
        savedModes_ = saverModes;
        savedProgramProc_ = saverProgramProc;
        fake = Fake{};
        hostPlatform = kFakePlatform;
        saverProgramProc = RecordingProgramProc;
        saverInstance = 0x400000;
        isWin9x = 0;
        saverWindow = 0;
        isPreview = 0;
        closeAllowed = 0;
        passwordPromptActive = 0;
        lastCursorPos = {0, 0};
        autoPlayQueryMessage = 0;
        imeLibrary = imeAssociate = savedInputContext = 0;
        passwordLibrary = 0;
        passwordVerifier = 0;
        passwordPromptEndTick = 0xFFFFFFFFu;
    }
    void TearDown() override
    {
        hostPlatform = savedPlatform_;
        saverModes = savedModes_;
        saverProgramProc = savedProgramProc_;
        isWin9x = 0;
        saverWindow = 0;
        isPreview = 0;
        closeAllowed = 0;
        passwordPromptActive = 0;
        passwordLibrary = 0;
        passwordVerifier = 0;
    }

    // A full-screen saver window that exists and is running.
    WindowHandle StartFullScreen()
    {
        saverWindow = 0x700;
        fake.windows.push_back(saverWindow);
        SaverClassProc(saverWindow, kWmCreate, 0, 0);
        fake.log.clear();
        fake.programSaw.clear();
        fake.defaultCalls.clear();
        return saverWindow;
    }

    // Arms the password check on the Windows 95 family with the given answers.
    void ArmPassword(std::vector<int32_t> answers)
    {
        isWin9x = 1;
        fake.win9x = true;
        fake.passwordValueReadable = true;
        fake.passwordValue = 1;
        fake.libraries["PASSWORD.CPL"] = 0x51;
        fake.entries["VerifyScreenSavePwd"] = 0x5100;
        fake.verifierAnswers = std::move(answers);
        LoadPasswordCheck();
        ASSERT_NE(passwordVerifier, 0u);
    }

  private:
    HostPlatform savedPlatform_{};
    SaverModes savedModes_{};
    WindowProcedure savedProgramProc_ = nullptr;
};

} // namespace host_double
