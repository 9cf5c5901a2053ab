#include "config/persistence.h"

#include <cstdint>
#include <string>

#include "core/settings.h"
#include "platform/settings_store.h"

const char* const SettingsKeyPath = "Software\\Quarnel\\ScreenSavers\\Brittleview";

namespace {

// One entry per stored value, in the order they are read and written.
// Exactly one of the two field pointers is set.
struct SettingField {
    const char* name;
    int32_t SettingsRecord::*intField;
    float SettingsRecord::*floatField;
};

// clang-format off
#define BV_INT(field) {#field, &SettingsRecord::field, nullptr}
#define BV_FLOAT(field) {#field, nullptr, &SettingsRecord::field}
// clang-format on
constexpr SettingField kSettingFields[] = {
    BV_INT(Priority),
    BV_FLOAT(x_div),
    BV_FLOAT(y_div),
    BV_FLOAT(xyAmplitude),
    BV_FLOAT(xyFrequency1),
    BV_FLOAT(xyFrequency2),
    BV_FLOAT(xySizeX),
    BV_FLOAT(xySizeY),
    BV_INT(Mode),
    BV_INT(genChildren),
    BV_INT(xyGoraud),
    BV_INT(useLinear),
    BV_INT(screenTextureWidth),
    BV_INT(screenTextureHeight),
    BV_INT(useTrails),
    BV_INT(enableMovement),
    BV_FLOAT(rotX0),
    BV_FLOAT(rotX1),
    BV_FLOAT(rotY0),
    BV_FLOAT(rotY1),
    BV_FLOAT(rotZ0),
    BV_FLOAT(rotZ1),
    BV_FLOAT(zoom0),
    BV_FLOAT(zoom1),
};
#undef BV_INT
#undef BV_FLOAT
static_assert(sizeof kSettingFields / sizeof kSettingFields[0] == 24, "one entry per field");

// The low 32 bits of the value truncated toward zero to a 64-bit integer.
// Converting a float outside the 64-bit range is undefined, so those are
// handled here: every float of magnitude 2^55 or more is a multiple of 2^32,
// so its low 32 bits are 0, and NaN and the infinities are given the same 0
// (which is also what the processor's own conversion leaves in those bits).
uint32_t EncodeFloat(float value)
{
    constexpr float kLimit = 9223372036854775808.0f; // 2^63
    if (!(value >= -kLimit && value < kLimit))
        return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

uint32_t EncodeField(const SettingsRecord& record, const SettingField& field)
{
    if (field.intField)
        return static_cast<uint32_t>(record.*field.intField);
    return EncodeFloat(record.*field.floatField);
}

void DecodeField(SettingsRecord& record, const SettingField& field, uint32_t stored)
{
    if (field.intField)
        record.*field.intField = static_cast<int32_t>(stored);
    else
        record.*field.floatField = static_cast<float>(stored); // unsigned, to the nearest float
}

std::string PresetKeyPath(int slot)
{
    return std::string(SettingsKeyPath) + "\\Presets\\" + std::to_string(slot);
}

bool IsPresetSlot(int slot)
{
    return slot >= 1 && slot <= 4;
}

} // namespace

bool ReadSettingsKey(const char* keyPath, SettingsRecord* record)
{
    SettingsStore* store = StoreOpenForRead(keyPath);
    if (!store)
        return false;
    for (const SettingField& field : kSettingFields) {
        uint32_t stored;
        if (StoreQueryValue(store, field.name, &stored))
            DecodeField(*record, field, stored);
    }
    StoreClose(store);
    return true;
}

void WriteSettingsKey(const char* keyPath, const SettingsRecord& record, bool onlyMissing)
{
    SettingsStore* store = StoreOpenForWrite(keyPath);
    if (!store)
        return;
    for (const SettingField& field : kSettingFields) {
        uint32_t stored;
        if (onlyMissing && StoreQueryValue(store, field.name, &stored))
            continue;
        StoreSetValue(store, field.name, EncodeField(record, field));
    }
    StoreClose(store);
}

void LoadSettings()
{
    SetDefaultSettings();
    ReadSettingsKey(SettingsKeyPath, &Settings);
}

void SaveSettings()
{
    WriteSettingsKey(SettingsKeyPath, Settings, false);
}

void SaveMissingSettings()
{
    WriteSettingsKey(SettingsKeyPath, Settings, true);
}

void SaveUserPreset(int slot)
{
    if (!IsPresetSlot(slot))
        return;
    WriteSettingsKey(PresetKeyPath(slot).c_str(), Settings, false);
}

bool RecallUserPreset(int slot)
{
    if (!IsPresetSlot(slot))
        return false;
    SettingsRecord recalled = Settings;
    if (!ReadSettingsKey(PresetKeyPath(slot).c_str(), &recalled))
        return false;
    Settings = recalled;
    return true;
}
