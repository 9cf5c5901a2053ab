#include "config/persistence.h"

#include <cstdint>
#include <string>

#include "core/settings.h"
#include "platform/settings_store.h"

const char* const SettingsKeyPath = "Software\\Quarnel\\ScreenSavers\\Brittleview";

namespace {

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
