// The registry store against Wine's real registry, under a scratch key of
// the current user that each test removes again.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

class Win32RegistryStore : public ::testing::Test {
  protected:
    void SetUp() override
    {
        root_ = "Software\\Quarnel\\BrittleviewTests\\Run" + std::to_string(GetCurrentProcessId());
        path_ = root_ + "\\Deeper\\Key";
        RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str()); }

    // Writes raw data of any type under the scratch key, bypassing the store.
    void WriteRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    std::string root_;
    std::string path_;
};

TEST_F(Win32RegistryStore, MissingKeyOpensForWriteWithParentsAndReadsBackDwords)
{
    EXPECT_EQ(StoreOpenForRead(path_.c_str()), nullptr);

    SettingsStore* writer = StoreOpenForWrite(path_.c_str());
    ASSERT_NE(writer, nullptr);
    StoreSetValue(writer, "Mode", 3);
    StoreSetValue(writer, "x_div", 0xFFFFFFFFu);
    uint32_t value = 0;
    // A handle opened for writing reads too.
    EXPECT_TRUE(StoreQueryValue(writer, "Mode", &value));
    EXPECT_EQ(value, 3u);
    StoreClose(writer);

    // The value really is a four-byte REG_DWORD in the registry.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, data = 0, size = sizeof(data);
    ASSERT_EQ(RegQueryValueExA(key, "x_div", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data, 0xFFFFFFFFu);

    SettingsStore* reader = StoreOpenForRead(path_.c_str());
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(StoreQueryValue(reader, "x_div", &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    value = 42;
    EXPECT_FALSE(StoreQueryValue(reader, "neverWritten", &value));
    EXPECT_EQ(value, 42u) << "a missing value leaves the output alone";
    StoreClose(reader);
}

TEST_F(Win32RegistryStore, OnlyFourByteDataCountsAsAValue)
{
    WriteRaw("text", REG_SZ, "twelve", 7);
    const unsigned short shortData = 0x1234;
    WriteRaw("short", REG_BINARY, &shortData, sizeof(shortData));
    const DWORD binary = 0x01020304;
    WriteRaw("binary4", REG_BINARY, &binary, sizeof(binary));

    SettingsStore* reader = StoreOpenForRead(path_.c_str());
    ASSERT_NE(reader, nullptr);
    uint32_t value = 99;
    EXPECT_FALSE(StoreQueryValue(reader, "text", &value));
    EXPECT_FALSE(StoreQueryValue(reader, "short", &value));
    EXPECT_EQ(value, 99u);
    // The type is not examined: four bytes of any type read as a number.
    EXPECT_TRUE(StoreQueryValue(reader, "binary4", &value));
    EXPECT_EQ(value, 0x01020304u);
    StoreClose(reader);
}

// The saver's own key: a save writes all 24 values as REG_DWORDs, with the
// float fields truncated, and a load brings them back.
TEST(Win32RegistrySettings, SaveWritesEveryFieldUnderTheSettingsKeyAndLoadReadsItBack)
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
    }
    DWORD data = 0, size = sizeof(data);
    RegQueryValueExA(key, "xySizeX", nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
    EXPECT_EQ(data, 12u);
    RegCloseKey(key);

    SetDefaultSettings();
    LoadSettings();
    EXPECT_EQ(Settings.xySizeX, 12.0f);
    EXPECT_EQ(Settings.Mode, 4);
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
