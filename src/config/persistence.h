// Loading and saving the settings record through the platform's settings store.
//
// All 24 fields are stored as four-byte numbers named like the fields, in the
// record's order. Int and flag fields are stored unchanged. A float field is
// stored as the low 32 bits of its value truncated toward zero (12.75 -> 12,
// -1 -> 0xffffffff); NaN, the infinities and values beyond any 64-bit integer
// store as 0. A stored number loads into a float field as an unsigned 32-bit
// integer (0xffffffff -> 4294967296.0f).
#pragma once

struct SettingsRecord;

// Defaults first, then every stored value laid over them.
void LoadSettings();
// Writes all 24 values (the configuration dialog's "OK").
void SaveSettings();
// Writes only the values that are missing or unreadable in the store (a saver
// process at its end), so that it never replaces what the dialog saved meanwhile.
void SaveMissingSettings();

// The four user preset slots, each a key below the settings key
// ("...\\Presets\\1" to "...\\Presets\\4") holding the same 24 values.
// Other slot numbers are ignored.
void SaveUserPreset(int slot);
// Lays the slot's stored values over Settings (fields without a stored value
// keep theirs) and returns true; returns false and changes nothing when the
// slot holds nothing.
bool RecallUserPreset(int slot);

// The same over any key of the store, for the functions above and for tests.
// ReadSettingsKey lays the key's values over *record; false: the key is missing.
bool ReadSettingsKey(const char* keyPath, SettingsRecord* record);
// onlyMissing: write only the values missing or unreadable in the key.
void WriteSettingsKey(const char* keyPath, const SettingsRecord& record, bool onlyMissing);
