// The registry store against Wine's real registry.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

TEST(Win32RegistryStore, WritesCreateTheKeyAndOnlyFourByteDataReadsAsAValue)
{
    const std::string root =
        "Software\\Quarnel\\BrittleviewTests\\Run" + std::to_string(GetCurrentProcessId());
    const std::string path = root + "\\Deeper\\Key";
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
    EXPECT_EQ(StoreOpenForRead(path.c_str()), nullptr);

    SettingsStore* writer = StoreOpenForWrite(path.c_str());
    ASSERT_NE(writer, nullptr) << "the missing key and its parents are created";
    StoreSetValue(writer, "x_div", 0xFFFFFFFFu);
    uint32_t value = 0;
    EXPECT_TRUE(StoreQueryValue(writer, "x_div", &value)) << "a write handle reads too";
    EXPECT_EQ(value, 0xFFFFFFFFu);
    StoreClose(writer);

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const DWORD four = 0x01020304;
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
        bool reads;
    } cases[] = {
        {"x_div", 0, nullptr, 0, true}, // as the store wrote it: a four-byte REG_DWORD
        {"text", REG_SZ, "twelve", 7, false},    {"short", REG_BINARY, &four, 2, false},
        {"binary4", REG_BINARY, &four, 4, true}, // the type is not examined
        {"neverWritten", 0, nullptr, 0, false},
    };
    for (const auto& c : cases)
        if (c.data)
            RegSetValueExA(key, c.name, 0, c.type, static_cast<const BYTE*>(c.data), c.size);
    DWORD type = 0, data = 0, size = sizeof(data);
    RegQueryValueExA(key, "x_div", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);

    SettingsStore* reader = StoreOpenForRead(path.c_str());
    ASSERT_NE(reader, nullptr);
    for (const auto& c : cases) {
        value = 42;
        EXPECT_EQ(StoreQueryValue(reader, c.name, &value), c.reads) << c.name;
        EXPECT_EQ(value, !c.reads ? 42u : c.data ? four : 0xFFFFFFFFu) << c.name;
    }
    StoreClose(reader);
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
}

// A save writes all 24 values as REG_DWORDs under the saver's own key, the
// float fields truncated, and a load brings them back.
TEST(Win32RegistrySettings, SaveWritesEveryFieldAndLoadReadsItBack)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    SetDefaultSettings();
    Settings.xySizeX = 12.75f;
    Settings.Mode = 4;
    SaveSettings();

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quarnel\\ScreenSavers\\Brittleview", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    const char* names[] = {"Priority",
                           "x_div",
                           "y_div",
                           "xyAmplitude",
                           "xyFrequency1",
                           "xyFrequency2",
                           "xySizeX",
                           "xySizeY",
                           "Mode",
                           "genChildren",
                           "xyGoraud",
                           "useLinear",
                           "screenTextureWidth",
                           "screenTextureHeight",
                           "useTrails",
                           "enableMovement",
                           "rotX0",
                           "rotX1",
                           "rotY0",
                           "rotY1",
                           "rotZ0",
                           "rotZ1",
                           "zoom0",
                           "zoom1"};
    for (const char* name : names) {
        DWORD type = 0, data = 0, size = sizeof(data);
        EXPECT_EQ(
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size),
            ERROR_SUCCESS)
            << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
        if (std::string(name) == "xySizeX")
            EXPECT_EQ(data, 12u);
    }
    RegCloseKey(key);

    SetDefaultSettings();
    LoadSettings();
    EXPECT_EQ(Settings.xySizeX, 12.0f);
    EXPECT_EQ(Settings.Mode, 4);
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
