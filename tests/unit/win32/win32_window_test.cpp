// The saver window backend and the system services around it, under Wine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

std::vector<std::pair<uint32_t, bool>> deliveries; // message, window visible

MessageResult RecordingProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    deliveries.emplace_back(message, IsWindowVisible(reinterpret_cast<HWND>(window)) != FALSE);
    if (message == WM_USER)
        return static_cast<MessageResult>(wParam * 2);
    if (message == WM_DESTROY)
        PlatformPostQuitMessage(7);
    return PlatformDefWindowProc(window, message, wParam, lParam);
}

bool Delivered(uint32_t message, bool visible)
{
    return std::find(deliveries.begin(), deliveries.end(), std::pair{message, visible}) !=
           deliveries.end();
}

TEST(Win32SaverWindow, ClassCreationMessagesLoopAndPreviewChild)
{
    ASSERT_TRUE(PlatformRegisterSaverClass(PlatformModuleInstance(), RecordingProc));
    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowsScreenSaverClass", &info));
    EXPECT_EQ(info.style, 0x2Bu) << "own DC, double clicks, redraw on resize";
    EXPECT_EQ(info.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_NE(info.hIcon, nullptr) << "the program's icon";

    const ScreenRect screen = PlatformGetScreenClipBox();
    const WindowHandle window = PlatformCreateSaverWindow(
        kWsExTopmost, kSaverTitleFullScreen, kWsPopup | kWsVisible, screen.left, screen.top,
        screen.right - screen.left, screen.bottom - screen.top, 0, PlatformModuleInstance());
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(Delivered(WM_CREATE, false));
    EXPECT_FALSE(Delivered(WM_CREATE, true)) << "WM_CREATE comes before the window is shown";
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(window)));
    EXPECT_TRUE(GetWindowLongA(reinterpret_cast<HWND>(window), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(PlatformFindWindow(kSaverClassName, kSaverTitleFullScreen), window);

    EXPECT_EQ(PlatformSendMessage(window, WM_USER, 21, 0), 42);
    PlatformPostMessage(window, WM_TIMER, 1, 0);
    PlatformPostMessage(window, WM_TIMER, 2, 0);
    EXPECT_TRUE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_TRUE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_FALSE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    // A posted close reaches the default handling, which destroys the window;
    // the procedure's quit then ends the loop with its code.
    PlatformPostMessage(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(PlatformRunMessageLoop(), 7);
    EXPECT_FALSE(Delivered(WM_TIMER, true)) << "removed timers are never delivered";
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
    EXPECT_EQ(std::pair(width, height), std::pair(152, 112));
    DestroyWindow(parent);
    EXPECT_FALSE(PlatformIsWindow(preview)) << "the child goes with its parent";
    EXPECT_EQ(PlatformRunMessageLoop(), 7);
}

TEST(Win32System, LibrariesLoadByNameAndTheInputContextDetachesAndComesBack)
{
    EXPECT_EQ(PlatformLoadLibrary("NO_SUCH_LIBRARY.DLL"), 0u);
    const LibraryHandle imm = PlatformLoadLibrary("IMM32.DLL");
    ASSERT_NE(imm, 0u);
    EXPECT_EQ(PlatformGetLoadedLibrary("IMM32.DLL"), imm);
    EXPECT_EQ(PlatformGetProcAddress(imm, "NoSuchEntryPoint"), 0u);
    const ProcAddress associate = PlatformGetProcAddress(imm, "ImmAssociateContext");
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    const WindowHandle handle = reinterpret_cast<WindowHandle>(edit);
    const uintptr_t original = PlatformCallImmAssociateContext(associate, handle, 0);
    EXPECT_NE(original, 0u);
    EXPECT_EQ(PlatformCallImmAssociateContext(associate, handle, original), 0u) << "detached";
    EXPECT_EQ(PlatformCallImmAssociateContext(associate, handle, original), original);
    DestroyWindow(edit);
}

int Faults(void*)
{
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}

TEST(Win32SystemGuardDeathTest, ResultPassesThroughAndAFaultRunsTheFaultWork)
{
    const auto announce = [] {
        fputs("fault work ran\n", stderr);
        fflush(stderr);
    };
    LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(before);
    int value = 17;
    EXPECT_EQ(
        PlatformRunGuarded([](void* v) { return *static_cast<int*>(v); }, &value, announce, -1),
        17);
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
    EXPECT_EXIT(PlatformRunGuarded(Faults, nullptr, announce, 77), ::testing::ExitedWithCode(77),
                "fault work ran");
}

struct ThreadProbe {
    HANDLE go;
    int priority;
};

TEST(Win32Threads, StartPrioritiseAndJoin)
{
    for (int level : {-2, -1, 0}) {
        ThreadProbe probe{CreateEventA(nullptr, TRUE, FALSE, nullptr), 99};
        PlatformThread* thread = StartPlatformThread(
            [](void* argument) {
                auto* probe = static_cast<ThreadProbe*>(argument);
                WaitForSingleObject(probe->go, INFINITE);
                const int priority = GetThreadPriority(GetCurrentThread());
                YieldPlatformThread();
                probe->priority = priority;
            },
            &probe);
        ASSERT_NE(thread, nullptr);
        SetPlatformThreadPriority(thread, level);
        SetEvent(probe.go);
        JoinPlatformThread(thread);
        EXPECT_EQ(probe.priority, level) << "set, and the join waits for the thread's end";
        CloseHandle(probe.go);
    }
}

} // namespace
