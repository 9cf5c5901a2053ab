// The saver window backend under Wine: the class record, creation before
// showing, message delivery (sent, posted, default handling, quit), the
// window queries, and the system services around it.
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
    WParam wParam;
    bool visible;
};
std::vector<Delivery> deliveries;
int quitCodeOnDestroy = 0;

MessageResult RecordingProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    HWND hwnd = reinterpret_cast<HWND>(window);
    deliveries.push_back({message, wParam, IsWindowVisible(hwnd) != FALSE});
    if (message == WM_USER)
        return static_cast<MessageResult>(wParam * 2);
    if (message == WM_DESTROY)
        PlatformPostQuitMessage(quitCodeOnDestroy);
    return PlatformDefWindowProc(window, message, wParam, lParam);
}

bool Delivered(uint32_t message)
{
    for (const Delivery& d : deliveries)
        if (d.message == message)
            return true;
    return false;
}

class Win32SaverWindow : public ::testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_DESKTOP();
        // The class is registered once per process, like the saver does.
        static bool registered =
            PlatformRegisterSaverClass(PlatformModuleInstance(), RecordingProc);
        ASSERT_TRUE(registered);
        deliveries.clear();
    }
};

TEST_F(Win32SaverWindow, ClassRecordHasOwnDcBlackBackgroundIconAndNoCursor)
{
    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowsScreenSaverClass", &info));
    EXPECT_EQ(info.style, 0x2Bu);
    EXPECT_EQ(info.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_NE(info.hIcon, nullptr) << "icon 100 of the program";
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
}

TEST_F(Win32SaverWindow, CreationRunsWmCreateBeforeShowingThenLoopEndsOnQuitAfterDestroy)
{
    const ScreenRect screen = PlatformGetScreenClipBox();
    EXPECT_EQ(screen.left, 0);
    EXPECT_EQ(screen.top, 0);
    EXPECT_EQ(screen.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.bottom, GetSystemMetrics(SM_CYSCREEN));

    WindowHandle window = PlatformCreateSaverWindow(
        kWsExTopmost, kSaverTitleFullScreen,
        kWsPopup | kWsVisible | kWsClipSiblings | kWsClipChildren, screen.left, screen.top,
        screen.right - screen.left, screen.bottom - screen.top, 0, PlatformModuleInstance());
    ASSERT_NE(window, 0u);
    ASSERT_FALSE(deliveries.empty());
    bool sawCreate = false;
    for (const Delivery& d : deliveries) {
        if (d.message == WM_CREATE) {
            sawCreate = true;
            EXPECT_FALSE(d.visible) << "WM_CREATE comes before the window is shown";
        }
    }
    EXPECT_TRUE(sawCreate);
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(window)));
    EXPECT_TRUE(GetWindowLongA(reinterpret_cast<HWND>(window), GWL_EXSTYLE) & WS_EX_TOPMOST);

    EXPECT_TRUE(PlatformIsWindow(window));
    EXPECT_EQ(PlatformFindWindow(kSaverClassName, kSaverTitleFullScreen), window);
    EXPECT_EQ(PlatformFindWindow(kSaverClassName, kSaverTitlePreview), 0u);
    int width = 0, height = 0;
    ASSERT_TRUE(PlatformGetClientSize(window, &width, &height));
    EXPECT_EQ(width, screen.right);
    EXPECT_EQ(height, screen.bottom);

    // A sent message runs the procedure now and returns its result.
    EXPECT_EQ(PlatformSendMessage(window, WM_USER, 21, 0), 42);

    // Posted timers wait in the queue; each removal takes one.
    PlatformPostMessage(window, WM_TIMER, 1, 0);
    PlatformPostMessage(window, WM_TIMER, 2, 0);
    EXPECT_TRUE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_TRUE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_FALSE(PlatformRemoveMessage(window, WM_TIMER, WM_TIMER));

    // A posted close goes through the loop to the default handling, which
    // destroys the window; the procedure's quit then ends the loop with its code.
    deliveries.clear();
    quitCodeOnDestroy = 7;
    PlatformPostMessage(window, WM_USER + 5, 9, 0);
    PlatformPostMessage(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(PlatformRunMessageLoop(), 7);
    EXPECT_TRUE(Delivered(WM_USER + 5));
    EXPECT_TRUE(Delivered(WM_CLOSE));
    EXPECT_TRUE(Delivered(WM_DESTROY));
    EXPECT_FALSE(Delivered(WM_TIMER)) << "removed timers are never delivered";
    EXPECT_FALSE(PlatformIsWindow(window));
    EXPECT_FALSE(PlatformIsWindow(0));
}

TEST_F(Win32SaverWindow, PreviewIsAChildFillingItsParent)
{
    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 10, 10, 152, 112,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(PlatformGetClientSize(reinterpret_cast<WindowHandle>(parent), &width, &height));
    WindowHandle preview = PlatformCreateSaverWindow(
        0, kSaverTitlePreview, kWsChild | kWsVisible | kWsClipChildren, 0, 0, width, height,
        reinterpret_cast<WindowHandle>(parent), PlatformModuleInstance());
    ASSERT_NE(preview, 0u);
    EXPECT_EQ(PlatformGetParent(preview), reinterpret_cast<WindowHandle>(parent));
    int childWidth = 0, childHeight = 0;
    ASSERT_TRUE(PlatformGetClientSize(preview, &childWidth, &childHeight));
    EXPECT_EQ(childWidth, 152);
    EXPECT_EQ(childHeight, 112);
    quitCodeOnDestroy = 0;
    DestroyWindow(parent);
    EXPECT_FALSE(PlatformIsWindow(preview)) << "the child goes with its parent";
    EXPECT_TRUE(Delivered(WM_DESTROY));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// --- system services ---

TEST(Win32System, LibrariesLoadByNameAndMissingOnesGiveNone)
{
    EXPECT_EQ(PlatformLoadLibrary("NO_SUCH_LIBRARY.DLL"), 0u);
    EXPECT_EQ(PlatformGetLoadedLibrary("NO_SUCH_LIBRARY.DLL"), 0u);
    EXPECT_EQ(PlatformGetProcAddress(0, "Anything"), 0u);

    LibraryHandle kernel = PlatformLoadLibrary("KERNEL32.DLL");
    ASSERT_NE(kernel, 0u);
    EXPECT_EQ(PlatformGetLoadedLibrary("KERNEL32.DLL"), kernel);
    EXPECT_NE(PlatformGetProcAddress(kernel, "GetTickCount"), 0u);
    EXPECT_EQ(PlatformGetProcAddress(kernel, "NoSuchEntryPoint"), 0u);
    PlatformFreeLibrary(kernel);
}

// Stand-ins with the platform's calling convention, to see that the wrappers
// pass the arguments where such an entry point expects them.
HWND verifiedWindow = nullptr;
BOOL WINAPI FakeVerify(HWND window)
{
    verifiedWindow = window;
    return window == reinterpret_cast<HWND>(0x1234) ? 5 : 0;
}
std::string changeProvider;
HWND changeOwner = nullptr;
DWORD WINAPI FakeChange(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved)
{
    changeProvider = provider;
    changeOwner = owner;
    return flags + (reserved ? 100 : 0);
}

TEST(Win32System, EntryPointsAreCalledWithThePlatformsConvention)
{
    for (int i = 0; i < 3; ++i) { // repeated calls keep the stack balanced
        EXPECT_EQ(
            PlatformCallVerifyScreenSavePwd(reinterpret_cast<ProcAddress>(&FakeVerify), 0x1234), 5);
        EXPECT_EQ(verifiedWindow, reinterpret_cast<HWND>(0x1234));
        EXPECT_EQ(PlatformCallPwdChangePassword(reinterpret_cast<ProcAddress>(&FakeChange),
                                                "SCRSAVE", 0x42, 3, nullptr),
                  3u);
        EXPECT_EQ(changeProvider, "SCRSAVE");
        EXPECT_EQ(changeOwner, reinterpret_cast<HWND>(0x42));
    }
}

TEST(Win32System, InputContextDetachesAndComesBack)
{
    REQUIRE_DESKTOP();
    LibraryHandle imm = PlatformGetLoadedLibrary("IMM32.DLL");
    if (!imm)
        imm = PlatformLoadLibrary("IMM32.DLL");
    ASSERT_NE(imm, 0u);
    ProcAddress associate = PlatformGetProcAddress(imm, "ImmAssociateContext");
    ASSERT_NE(associate, 0u);
    HWND window = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const WindowHandle handle = reinterpret_cast<WindowHandle>(window);
    const uintptr_t original = PlatformCallImmAssociateContext(associate, handle, 0);
    EXPECT_EQ(PlatformCallImmAssociateContext(associate, handle, original), 0u)
        << "after detaching, the window had no context";
    EXPECT_EQ(PlatformCallImmAssociateContext(associate, handle, original), original);
    DestroyWindow(window);
}

int ReturnsArgument(void* argument)
{
    return *static_cast<int*>(argument);
}

int Faults(void*)
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}

void AnnounceFault()
{
    fputs("fault work ran\n", stderr);
    fflush(stderr);
}

// True when the system would hand an unhandled fault to its crash debugger
// first: Wine starts winedbg when AeDebug names it or names nothing. The
// Windows test script points AeDebug at a program that does not exist, so
// the system's report fails quietly and the guard's own work follows.
bool CrashDebuggerWouldRun()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return true;
    char debugger[512] = {};
    DWORD size = sizeof(debugger) - 1;
    const bool named =
        RegQueryValueExA(key, "Debugger", nullptr, nullptr, reinterpret_cast<BYTE*>(debugger),
                         &size) == ERROR_SUCCESS &&
        debugger[0] != '\0';
    RegCloseKey(key);
    return !named || std::string(debugger).find("winedbg") != std::string::npos;
}

TEST(Win32SystemGuard, BodyResultPassesThroughAndTheFilterIsRestored)
{
    LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(before);
    int value = 17;
    EXPECT_EQ(PlatformRunGuarded(ReturnsArgument, &value, AnnounceFault, -1), 17);
    LPTOP_LEVEL_EXCEPTION_FILTER after = SetUnhandledExceptionFilter(before);
    EXPECT_EQ(after, before);
}

TEST(Win32SystemGuardDeathTest, AFaultRunsTheFaultWorkAndEndsWithTheFaultResult)
{
    if (CrashDebuggerWouldRun())
        GTEST_SKIP() << "a crash debugger would take the fault";
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(PlatformRunGuarded(Faults, nullptr, AnnounceFault, 77),
                ::testing::ExitedWithCode(77), "fault work ran");
}

// --- threads ---

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
    SetPlatformThreadPriority(nullptr, 0);
    JoinPlatformThread(nullptr);
}

} // namespace
