// The saver window backend and the system services around it, under Wine.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "unit/win32/win32_test_support.h"

namespace {

struct Delivery {
    uint32_t message;
    bool visible;
};
std::vector<Delivery> deliveries;

MessageResult RecordingProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    deliveries.push_back({message, IsWindowVisible(reinterpret_cast<HWND>(window)) != FALSE});
    if (message == WM_USER)
        return static_cast<MessageResult>(wParam * 2);
    if (message == WM_DESTROY)
        PlatformPostQuitMessage(7);
    return PlatformDefWindowProc(window, message, wParam, lParam);
}

bool Delivered(uint32_t message)
{
    for (const Delivery& d : deliveries)
        if (d.message == message)
            return true;
    return false;
}

TEST(Win32SaverWindow, ClassCreationMessagesLoopAndPreviewChild)
{
    REQUIRE_DESKTOP();
    ASSERT_TRUE(PlatformRegisterSaverClass(PlatformModuleInstance(), RecordingProc));
    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowsScreenSaverClass", &info));
    EXPECT_EQ(info.style, 0x2Bu) << "own DC, double clicks, redraw on resize";
    EXPECT_EQ(info.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_NE(info.hIcon, nullptr) << "the program's icon";

    const ScreenRect screen = PlatformGetScreenClipBox();
    EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.bottom - screen.top, GetSystemMetrics(SM_CYSCREEN));
    deliveries.clear();
    const WindowHandle window = PlatformCreateSaverWindow(
        kWsExTopmost, kSaverTitleFullScreen, kWsPopup | kWsVisible | kWsClipChildren, screen.left,
        screen.top, screen.right - screen.left, screen.bottom - screen.top, 0,
        PlatformModuleInstance());
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Delivered(WM_CREATE));
    for (const Delivery& d : deliveries)
        if (d.message == WM_CREATE)
            EXPECT_FALSE(d.visible) << "WM_CREATE comes before the window is shown";
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(window)));
    EXPECT_TRUE(GetWindowLongA(reinterpret_cast<HWND>(window), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(PlatformFindWindow(kSaverClassName, kSaverTitleFullScreen), window);
    EXPECT_EQ(PlatformFindWindow(kSaverClassName, kSaverTitlePreview), 0u);

    EXPECT_EQ(PlatformSendMessage(window, WM_USER, 21, 0), 42);
    PlatformPostMessage(window, WM_TIMER, 1, 0);
    PlatformPostMessage(window, WM_TIMER, 2, 0);
    EXPECT_TRUE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_TRUE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_FALSE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));

    // A posted close reaches the default handling, which destroys the window;
    // the procedure's quit then ends the loop with its code.
    deliveries.clear();
    PlatformPostMessage(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(PlatformRunMessageLoop(), 7);
    EXPECT_TRUE(Delivered(WM_DESTROY));
    EXPECT_FALSE(Delivered(WM_TIMER)) << "removed timers are never delivered";
    EXPECT_FALSE(PlatformIsWindow(window));

    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 10, 10, 152, 112,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    const WindowHandle preview =
        PlatformCreateSaverWindow(0, kSaverTitlePreview, kWsChild | kWsVisible, 0, 0, 152, 112,
                                  reinterpret_cast<WindowHandle>(parent), PlatformModuleInstance());
    ASSERT_NE(preview, 0u);
    EXPECT_EQ(PlatformGetParent(preview), reinterpret_cast<WindowHandle>(parent));
    int width = 0, height = 0;
    ASSERT_TRUE(PlatformGetClientSize(preview, &width, &height));
    EXPECT_EQ(width * 1000 + height, 152112);
    DestroyWindow(parent);
    EXPECT_FALSE(PlatformIsWindow(preview)) << "the child goes with its parent";
    EXPECT_EQ(PlatformRunMessageLoop(), 7);
}

// Stand-ins with the platform's calling convention, to see that the wrappers
// pass the arguments where such an entry point expects them.
HWND verifiedWindow = nullptr;
BOOL WINAPI FakeVerify(HWND window)
{
    verifiedWindow = window;
    return 5;
}
std::string changeProvider;
DWORD WINAPI FakeChange(LPCSTR provider, HWND owner, DWORD flags, LPVOID)
{
    changeProvider = provider;
    return flags + static_cast<DWORD>(reinterpret_cast<uintptr_t>(owner));
}

TEST(Win32System, EntryPointsLoadByNameAndAreCalledWithThePlatformsConvention)
{
    REQUIRE_DESKTOP();
    EXPECT_EQ(PlatformLoadLibrary("NO_SUCH_LIBRARY.DLL"), 0u);
    EXPECT_EQ(PlatformGetProcAddress(0, "Anything"), 0u);
    const LibraryHandle imm = PlatformLoadLibrary("IMM32.DLL");
    ASSERT_NE(imm, 0u);
    EXPECT_EQ(PlatformGetLoadedLibrary("IMM32.DLL"), imm);
    EXPECT_EQ(PlatformGetProcAddress(imm, "NoSuchEntryPoint"), 0u);
    const ProcAddress associate = PlatformGetProcAddress(imm, "ImmAssociateContext");
    ASSERT_NE(associate, 0u);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    const WindowHandle handle = reinterpret_cast<WindowHandle>(edit);
    const uintptr_t original = PlatformCallImmAssociateContext(associate, handle, 0);
    EXPECT_NE(original, 0u);
    EXPECT_EQ(PlatformCallImmAssociateContext(associate, handle, original), 0u)
        << "detached, the window had no context";
    EXPECT_EQ(PlatformCallImmAssociateContext(associate, handle, original), original);
    DestroyWindow(edit);

    for (int i = 0; i < 3; ++i) { // repeated calls keep the stack balanced
        EXPECT_EQ(
            PlatformCallVerifyScreenSavePwd(reinterpret_cast<ProcAddress>(&FakeVerify), 0x1234), 5);
        EXPECT_EQ(verifiedWindow, reinterpret_cast<HWND>(0x1234));
        EXPECT_EQ(PlatformCallPwdChangePassword(reinterpret_cast<ProcAddress>(&FakeChange),
                                                "SCRSAVE", 0x40, 3, nullptr),
                  0x43u);
        EXPECT_EQ(changeProvider, "SCRSAVE");
    }
}

int ReturnsArgument(void* argument)
{
    return *static_cast<int*>(argument);
}
int Faults(void*)
{
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}
void AnnounceFault()
{
    fputs("fault work ran\n", stderr);
    fflush(stderr);
}

TEST(Win32SystemGuardDeathTest, ResultPassesThroughAndAFaultRunsTheFaultWork)
{
    LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(before);
    int value = 17;
    EXPECT_EQ(PlatformRunGuarded(ReturnsArgument, &value, AnnounceFault, -1), 17);
    EXPECT_EQ(SetUnhandledExceptionFilter(before), before) << "the filter is restored";

    // Wine hands an unhandled fault to winedbg unless AeDebug names another
    // debugger; the Windows test script names one that does not exist.
    char debugger[512] = {};
    DWORD size = sizeof(debugger) - 1;
    RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
                 "Debugger", RRF_RT_REG_SZ, nullptr, debugger, &size);
    if (!debugger[0] || std::string(debugger).find("winedbg") != std::string::npos)
        GTEST_SKIP() << "a crash debugger would take the fault";
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(PlatformRunGuarded(Faults, nullptr, AnnounceFault, 77),
                ::testing::ExitedWithCode(77), "fault work ran");
}

struct ThreadProbe {
    HANDLE go;
    DWORD threadId;
    int priority;
    bool finished;
};

void ProbeThread(void* argument)
{
    auto* probe = static_cast<ThreadProbe*>(argument);
    probe->threadId = GetCurrentThreadId();
    WaitForSingleObject(probe->go, INFINITE);
    probe->priority = GetThreadPriority(GetCurrentThread());
    YieldPlatformThread();
    probe->finished = true;
}

TEST(Win32Threads, StartPrioritiseAndJoin)
{
    for (int level : {-2, -1, 0}) {
        ThreadProbe probe{CreateEventA(nullptr, TRUE, FALSE, nullptr), 0, 99, false};
        PlatformThread* thread = StartPlatformThread(ProbeThread, &probe);
        ASSERT_NE(thread, nullptr);
        SetPlatformThreadPriority(thread, level);
        SetEvent(probe.go);
        JoinPlatformThread(thread);
        EXPECT_TRUE(probe.finished) << "the join returns after the thread has ended";
        EXPECT_NE(probe.threadId, GetCurrentThreadId());
        EXPECT_EQ(probe.priority, level);
        CloseHandle(probe.go);
    }
}

} // namespace
