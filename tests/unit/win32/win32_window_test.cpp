// The saver window backend, the system services around it and the settings
// in the registry, under Wine.
#include <windows.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/window_styles.h"
#include "platform/settings_store.h"
#include "platform/thread.h"

namespace {

std::map<uint32_t, bool> shownAt; // message -> the window was visible when it arrived

MessageResult RecordingProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    shownAt.emplace(message, IsWindowVisible(reinterpret_cast<HWND>(window)) != FALSE);
    if (message == WM_USER)
        return static_cast<MessageResult>(wParam * 2);
    if (message == WM_DESTROY)
        kWin32Platform.postQuitMessage(7);
    return kWin32Platform.defWindowProc(window, message, wParam, lParam);
}

TEST(Win32SaverWindow, ClassCreationMessagesLoopAndPreviewChild)
{
    ASSERT_TRUE(kWin32Platform.registerSaverClass(kWin32Platform.moduleInstance(), RecordingProc));
    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowsScreenSaverClass", &info));
    EXPECT_EQ(info.style, 0x2Bu) << "own DC, double clicks, redraw on resize";
    EXPECT_EQ(info.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_NE(info.hIcon, nullptr) << "the program's icon";

    const ScreenRect screen = kWin32Platform.getScreenClipBox();
    const WindowHandle window = kWin32Platform.createSaverWindow(
        kWsExTopmost, kSaverTitleFullScreen, kWsPopup | kWsVisible, screen.left, screen.top,
        screen.right - screen.left, screen.bottom - screen.top, 0, kWin32Platform.moduleInstance());
    ASSERT_NE(window, 0u);
    ASSERT_EQ(shownAt.count(WM_CREATE), 1u);
    EXPECT_FALSE(shownAt[WM_CREATE]) << "WM_CREATE comes before the window is shown";
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(window)));
    EXPECT_TRUE(GetWindowLongA(reinterpret_cast<HWND>(window), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(kWin32Platform.findWindow(kSaverClassName, kSaverTitleFullScreen), window);

    EXPECT_EQ(kWin32Platform.sendMessage(window, WM_USER, 21, 0), 42);
    kWin32Platform.postMessage(window, WM_TIMER, 1, 0);
    kWin32Platform.postMessage(window, WM_TIMER, 2, 0);
    EXPECT_TRUE(kWin32Platform.removeMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_TRUE(kWin32Platform.removeMessage(window, WM_TIMER, WM_TIMER));
    EXPECT_FALSE(kWin32Platform.removeMessage(window, WM_TIMER, WM_TIMER));
    // A posted close reaches the default handling, which destroys the window;
    // the procedure's quit then ends the loop with its code.
    kWin32Platform.postMessage(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(kWin32Platform.runMessageLoop(), 7);
    EXPECT_EQ(shownAt.count(WM_TIMER), 0u) << "removed timers are never delivered";
    EXPECT_FALSE(kWin32Platform.isWindow(window));

    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 10, 10, 152, 112,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    const WindowHandle preview = kWin32Platform.createSaverWindow(
        0, kSaverTitlePreview, kWsChild | kWsVisible, 0, 0, 152, 112,
        reinterpret_cast<WindowHandle>(parent), kWin32Platform.moduleInstance());
    ASSERT_NE(preview, 0u);
    DestroyWindow(parent);
    EXPECT_FALSE(kWin32Platform.isWindow(preview)) << "the child goes with its parent";
    EXPECT_EQ(kWin32Platform.runMessageLoop(), 7);
}

TEST(Win32System, LibrariesLoadByNameAndTheInputContextDetachesAndComesBack)
{
    const LibraryHandle imm = kWin32Platform.loadLibrary("IMM32.DLL");
    ASSERT_NE(imm, 0u);
    EXPECT_EQ(kWin32Platform.getProcAddress(imm, "NoSuchEntryPoint"), 0u);
    const ProcAddress associate = kWin32Platform.getProcAddress(imm, "ImmAssociateContext");
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    const WindowHandle handle = reinterpret_cast<WindowHandle>(edit);
    const uintptr_t original = kWin32Platform.callImmAssociateContext(associate, handle, 0);
    EXPECT_NE(original, 0u);
    EXPECT_EQ(kWin32Platform.callImmAssociateContext(associate, handle, original), 0u)
        << "detached";
    EXPECT_EQ(kWin32Platform.callImmAssociateContext(associate, handle, original), original);
    DestroyWindow(edit);
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
    EXPECT_EQ(kWin32Platform.runGuarded([](void* v) { return *static_cast<int*>(v); }, &value,
                                        announce, -1),
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
    const auto faults = [](void*) {
        *static_cast<volatile int*>(nullptr) = 1;
        return 0;
    };
    EXPECT_EXIT(kWin32Platform.runGuarded(faults, nullptr, announce, 77),
                ::testing::ExitedWithCode(77), "fault work ran");
}

TEST(Win32Threads, StartPrioritiseAndJoin)
{
    for (int level : {-2, -1, 0}) {
        std::pair<HANDLE, int> probe{CreateEventA(nullptr, TRUE, FALSE, nullptr), 99};
        PlatformThread* thread = StartPlatformThread(
            [](void* argument) {
                auto* probe = static_cast<std::pair<HANDLE, int>*>(argument);
                WaitForSingleObject(probe->first, INFINITE);
                const int priority = GetThreadPriority(GetCurrentThread());
                YieldPlatformThread();
                probe->second = priority;
            },
            &probe);
        ASSERT_NE(thread, nullptr);
        SetPlatformThreadPriority(thread, level);
        SetEvent(probe.first);
        JoinPlatformThread(thread);
        EXPECT_EQ(probe.second, level) << "set, and the join waits for the thread's end";
        CloseHandle(probe.first);
    }
}

TEST(Win32RegistryStore, SaveWritesFourByteDwordsAndOtherDataCountsAsMissing)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    EXPECT_EQ(StoreOpenForRead(SettingsKeyPath), nullptr);
    SetDefaultSettings();
    Settings.xySizeX = 12.75f;
    Settings.Mode = 4;
    SaveSettings();

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quarnel\\ScreenSavers\\Brittleview", 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    std::istringstream names("Priority x_div y_div xyAmplitude xyFrequency1 xyFrequency2 xySizeX "
                             "xySizeY Mode genChildren xyGoraud useLinear screenTextureWidth "
                             "screenTextureHeight useTrails enableMovement rotX0 rotX1 rotY0 "
                             "rotY1 rotZ0 rotZ1 zoom0 zoom1");
    for (std::string name; names >> name;) {
        DWORD type = 0, size = 0;
        const LONG found = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
        EXPECT_EQ(std::tuple(found, type, size), std::tuple(ERROR_SUCCESS, REG_DWORD, 4)) << name;
    }
    const DWORD four = 0x01020304;
    RegSetValueExA(key, "text", 0, REG_SZ, reinterpret_cast<const BYTE*>("twelve"), 7);
    RegSetValueExA(key, "short", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&four), 2);
    RegSetValueExA(key, "binary4", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&four), 4);
    RegCloseKey(key);

    SettingsStore* writer = StoreOpenForWrite(SettingsKeyPath); // a write handle reads too
    ASSERT_NE(writer, nullptr);
    StoreSetValue(writer, "x_div", 0xFFFFFFFFu);
    const struct {
        const char* name;
        bool reads;
        uint32_t value;
    } cases[] = {{"xySizeX", true, 12},      {"Mode", true, 4},    {"x_div", true, 0xFFFFFFFFu},
                 {"text", false, 42},        {"short", false, 42}, {"binary4", true, four},
                 {"neverWritten", false, 42}};
    for (const auto& c : cases) {
        uint32_t value = 42;
        EXPECT_EQ(StoreQueryValue(writer, c.name, &value), c.reads) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
    StoreClose(writer);

    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
