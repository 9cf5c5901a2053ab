// The system services around the saver window (the fault guard, threads) and
// the settings in the registry, under Wine.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/settings_store.h"
#include "platform/thread.h"

namespace {

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
    DWORD type = 0, size = 0; // the other values are checked on the real program's key
    RegQueryValueExA(key, "xySizeX", nullptr, &type, nullptr, &size);
    EXPECT_TRUE(type == REG_DWORD && size == 4) << type << " " << size;
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
