// The settings against Wine's real registry.
#include <windows.h>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

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
        EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size),
                  ERROR_SUCCESS)
            << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(size, 4u) << name;
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

    SetDefaultSettings();
    LoadSettings();
    EXPECT_EQ(Settings.xySizeX, 12.0f);
    EXPECT_EQ(Settings.Mode, 4);
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
