// Settings through the platform's own store (the settings file on Linux, the
// registry on Windows), each test on a key of its own so that none sees
// another's values.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

std::string FreshKey()
{
    static int count = 0;
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return "Software\\Quarnel\\ScreenSavers\\BrittleviewTests\\" + std::to_string(now) + "-" +
           std::to_string(count++);
}

SettingsRecord Defaults()
{
    const SettingsRecord saved = Settings;
    SetDefaultSettings();
    const SettingsRecord defaults = Settings;
    Settings = saved;
    return defaults;
}

bool SameRecord(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The number stored under name, or nothing.
bool Stored(const std::string& key, const char* name, uint32_t* value)
{
    SettingsStore* store = StoreOpenForRead(key.c_str());
    const bool found = StoreQueryValue(store, name, value);
    StoreClose(store);
    return found;
}

// clang-format off
const char* const kNames[24] = {
    "Priority", "x_div", "y_div", "xyAmplitude", "xyFrequency1", "xyFrequency2", "xySizeX",
    "xySizeY", "Mode", "genChildren", "xyGoraud", "useLinear", "screenTextureWidth",
    "screenTextureHeight", "useTrails", "enableMovement", "rotX0", "rotX1", "rotY0", "rotY1",
    "rotZ0", "rotZ1", "zoom0", "zoom1"};
// clang-format on

} // namespace

TEST(Persistence, EveryFieldIsStoredUnderItsOwnNameAndLoadsBack)
{
    // The record's fields lie in the stored order; field i gets 1000 + i, so
    // that two fields swapped or misnamed show.
    const std::string key = FreshKey();
    SettingsStore* store = StoreOpenForWrite(key.c_str());
    ASSERT_NE(store, nullptr);
    for (uint32_t i = 0; i < 24; ++i)
        StoreSetValue(store, kNames[i], 1000 + i);
    StoreClose(store);

    SettingsRecord record = Defaults();
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &record));
    for (uint32_t i = 0; i < 24; ++i) {
        const bool isInt = i == 0 || (i >= 8 && i <= 15);
        int32_t asInt;
        float asFloat;
        std::memcpy(&asInt, reinterpret_cast<const char*>(&record) + 4 * i, 4);
        std::memcpy(&asFloat, reinterpret_cast<const char*>(&record) + 4 * i, 4);
        if (isInt) {
            EXPECT_EQ(asInt, static_cast<int32_t>(1000 + i)) << kNames[i];
        } else {
            EXPECT_EQ(asFloat, static_cast<float>(1000 + i)) << kNames[i];
        }
    }

    const std::string copy = FreshKey();
    WriteSettingsKey(copy.c_str(), record, false);
    for (uint32_t i = 0; i < 24; ++i) {
        uint32_t value = 0;
        ASSERT_TRUE(Stored(copy, kNames[i], &value)) << kNames[i];
        EXPECT_EQ(value, 1000 + i) << kNames[i];
    }
}

TEST(Persistence, FloatsStoreTheLowBitsOfTheTruncationAndLoadAsUnsigned)
{
    SettingsRecord record = Defaults();
    record.Priority = -5;
    record.genChildren = std::numeric_limits<int32_t>::min();
    record.Mode = 4;
    record.x_div = 12.75f;
    record.y_div = 2.9f;
    record.xyAmplitude = -1.5f; // truncates to -1
    record.xyFrequency1 = 5e9f; // 5000000000 - 2^32
    record.xyFrequency2 = std::numeric_limits<float>::quiet_NaN();
    record.xySizeX = std::numeric_limits<float>::infinity();
    record.xySizeY = -1e30f;      // beyond any 64-bit integer
    record.rotX0 = 4294967295.0f; // the float is 2^32
    record.rotX1 = 123456789.0f;  // the float is 123456792
    record.rotY0 = -3e9f;
    record.rotY1 = 0.999f;
    const std::string key = FreshKey();
    WriteSettingsKey(key.c_str(), record, false);

    const struct {
        const char* name;
        uint32_t stored;
        float loaded;
    } cases[] = {
        {"x_div", 12, 12.0f},
        {"y_div", 2, 2.0f},
        {"xyAmplitude", 0xffffffffu, 4294967296.0f},
        {"xyFrequency1", 705032704u, 705032704.0f},
        {"xyFrequency2", 0, 0.0f},
        {"xySizeX", 0, 0.0f},
        {"xySizeY", 0, 0.0f},
        {"rotX0", 0, 0.0f},
        {"rotX1", 123456792u, 123456792.0f},
        {"rotY0", 1294967296u, 1294967296.0f},
        {"rotY1", 0, 0.0f},
    };
    SettingsRecord loaded = Defaults();
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &loaded));
    const float loadedFields[] = {loaded.x_div,        loaded.y_div,        loaded.xyAmplitude,
                                  loaded.xyFrequency1, loaded.xyFrequency2, loaded.xySizeX,
                                  loaded.xySizeY,      loaded.rotX0,        loaded.rotX1,
                                  loaded.rotY0,        loaded.rotY1};
    for (size_t i = 0; i < std::size(cases); ++i) {
        uint32_t value = 1;
        ASSERT_TRUE(Stored(key, cases[i].name, &value)) << cases[i].name;
        EXPECT_EQ(value, cases[i].stored) << cases[i].name;
        EXPECT_EQ(loadedFields[i], cases[i].loaded) << cases[i].name;
    }
    EXPECT_EQ(loaded.Priority, -5);
    EXPECT_EQ(loaded.genChildren, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(loaded.Mode, 4);
    uint32_t value = 0;
    ASSERT_TRUE(Stored(key, "Priority", &value));
    EXPECT_EQ(value, 0xfffffffbu);
}

TEST(Persistence, LoadKeepsWhatIsNotStoredAndAMissingKeyChangesNothing)
{
    const std::string key = FreshKey();
    SettingsRecord record = Defaults();
    record.zoom0 = 3;
    EXPECT_FALSE(ReadSettingsKey(key.c_str(), &record));
    SettingsRecord expected = Defaults();
    expected.zoom0 = 3;
    EXPECT_TRUE(SameRecord(record, expected));

    SettingsStore* store = StoreOpenForWrite(key.c_str());
    ASSERT_NE(store, nullptr);
    StoreSetValue(store, "Mode", 1);
    StoreSetValue(store, "x_div", 0xffffffffu);
    StoreClose(store);
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &record));
    expected.Mode = 1;
    expected.x_div = 4294967296.0f;
    EXPECT_TRUE(SameRecord(record, expected));
}

TEST(Persistence, WritingOnlyMissingValuesNeverReplacesAStoredOne)
{
    const std::string key = FreshKey();
    SettingsStore* store = StoreOpenForWrite(key.c_str());
    ASSERT_NE(store, nullptr);
    StoreSetValue(store, "Mode", 2);
    StoreSetValue(store, "rotZ1", 77);
    StoreClose(store);

    SettingsRecord mine = Defaults();
    mine.Mode = 3;
    mine.rotZ1 = 5;
    mine.genChildren = 9;
    WriteSettingsKey(key.c_str(), mine, true);
    SettingsRecord loaded = Defaults();
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &loaded));
    SettingsRecord expected = mine;
    expected.Mode = 2;
    expected.rotZ1 = 77;
    EXPECT_TRUE(SameRecord(loaded, expected)) << "all 24 values are stored, the two old ones kept";

    mine.genChildren = 10;
    WriteSettingsKey(key.c_str(), mine, false);
    ASSERT_TRUE(ReadSettingsKey(key.c_str(), &loaded));
    EXPECT_TRUE(SameRecord(loaded, mine)) << "a full save replaces everything";
}
