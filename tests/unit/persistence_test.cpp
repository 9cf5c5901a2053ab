// Settings through the platform's own store (a file on Linux, the registry on Windows).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"
#include "unit/dialog_store_sandbox.h"

namespace {

std::string FreshKey()
{
    static int count = 0;
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return "Software\\Quarnel\\ScreenSavers\\BrittleviewTests\\" + std::to_string(now) + "-" +
           std::to_string(count++);
}

constexpr uint32_t kMissing = 0xdeadbeef;

uint32_t Stored(const std::string& key, const std::string& name)
{
    uint32_t value = kMissing;
    SettingsStore* store = StoreOpenForRead(key.c_str());
    StoreQueryValue(store, name.c_str(), &value);
    StoreClose(store);
    return value;
}

} // namespace

TEST(Persistence, EveryFieldHasItsOwnNameAndEncoding)
{
    // Field i (in the record's order) holds 1000 + i, so a swapped or
    // misnamed field shows in what is stored and in what loads back.
    std::istringstream list("Priority x_div y_div xyAmplitude xyFrequency1 xyFrequency2 xySizeX "
                            "xySizeY Mode genChildren xyGoraud useLinear screenTextureWidth "
                            "screenTextureHeight useTrails enableMovement rotX0 rotX1 rotY0 "
                            "rotY1 rotZ0 rotZ1 zoom0 zoom1");
    std::string name[24];
    uint32_t expected[24];
    SettingsRecord record, loaded;
    char* const bytes = reinterpret_cast<char*>(&record);
    for (uint32_t i = 0; i < 24 && list >> name[i]; ++i) {
        const int32_t asInt = static_cast<int32_t>(expected[i] = 1000 + i);
        const float asFloat = 1000.0f + i;
        const bool isInt = i == 0 || (i >= 8 && i <= 15);
        std::memcpy(bytes + 4 * i, isInt ? static_cast<const void*>(&asInt) : &asFloat, 4);
    }

    // Floats store the low 32 bits of the value truncated toward zero
    // (anything beyond 64 bits, NaN and infinity as 0) and load as unsigned.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // clang-format off
    const struct { float SettingsRecord::*field; float value; uint32_t stored; } cases[] = {
        {&SettingsRecord::x_div, 12.75f, 12},     {&SettingsRecord::xyAmplitude, -1.5f, 0xffffffffu},
        {&SettingsRecord::xyFrequency1, 5e9f, 705032704u},
        {&SettingsRecord::xyFrequency2, nan, 0},  {&SettingsRecord::xySizeX, -inf, 0},
        {&SettingsRecord::rotY0, -3e9f, 1294967296u}};
    // clang-format on
    record.Priority = -5;
    record.genChildren = std::numeric_limits<int32_t>::min();
    expected[0] = 0xfffffffbu;
    expected[9] = 0x80000000u;
    SettingsRecord wanted = record;
    for (const auto& c : cases) {
        record.*c.field = c.value;
        wanted.*c.field = static_cast<float>(c.stored);
        expected[(reinterpret_cast<char*>(&(record.*c.field)) - bytes) / 4] = c.stored;
    }
    const std::string key = FreshKey();
    WriteSettingsKey(key.c_str(), record, false);
    for (uint32_t i = 0; i < 24; ++i)
        EXPECT_EQ(Stored(key, name[i]), expected[i]) << name[i];
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &loaded));
    EXPECT_TRUE(SameRecord(loaded, wanted));
    EXPECT_EQ(loaded.xyAmplitude, 4294967296.0f);
}

TEST(Persistence, ASaverEndingWritesOnlyWhatIsMissing)
{
    // A key holding only Mode loads only it.
    const std::string key = FreshKey(), sparse = FreshKey();
    SettingsRecord saver = Defaults(), dialog = Defaults(), loaded = Defaults();
    SettingsStore* store = StoreOpenForWrite(sparse.c_str());
    StoreSetValue(store, "Mode", 2);
    StoreClose(store);
    ASSERT_TRUE(ReadSettingsKey(sparse.c_str(), &loaded));
    EXPECT_EQ(loaded.Mode, 2);
    loaded.Mode = saver.Mode;
    EXPECT_TRUE(SameRecord(loaded, saver));

    // The saver has loaded; the dialog saves while it runs; then the saver ends.
    dialog.Mode = 1;
    dialog.rotZ1 = 77;
    WriteSettingsKey(key.c_str(), dialog, false);
    saver.genChildren = 9;
    WriteSettingsKey(key.c_str(), saver, true);
    WriteSettingsKey(sparse.c_str(), saver, true);
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &loaded));
    EXPECT_TRUE(SameRecord(loaded, dialog));
    EXPECT_EQ(Stored(sparse, "Mode"), 2u) << "a stored value is never replaced";
    EXPECT_EQ(Stored(sparse, "genChildren"), 9u) << "a missing one is written";
}
