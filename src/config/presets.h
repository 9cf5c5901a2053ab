// The eight built-in looks of the configuration dialog's "Presets" group.
#pragma once

#include "platform/platform_types.h"

struct SettingsRecord;

// Marks a field that a preset leaves as it is.
constexpr int kPresetKeeps = -1;

// One built-in preset: the button that applies it and the values it assigns.
// Every value is a whole number; kPresetKeeps leaves the field alone.
struct Preset {
    int controlId;
    const char* caption;
    int x_div, y_div, Mode, genChildren;
    int xyAmplitude, xyFrequency1, xyFrequency2;
    int enableMovement;
    int rotX0, rotX1, rotY0, rotY1, rotZ0, rotZ1, zoom0, zoom1;
};

constexpr int kPresetCount = 8;
extern const Preset kPresets[kPresetCount];

// The preset applied by button controlId, or nullptr.
const Preset* FindPreset(int controlId);

// Assigns the preset's values to Settings in table order, leaving the fields
// it keeps alone.
void ApplyPresetValues(const Preset& preset);
// The same over any record (the saver-daemon options lay a preset over a copy).
void ApplyPresetValues(const Preset& preset, SettingsRecord* record);

// ApplyPresetValues, then refills the dialog's controls from the record
// (FillConfigDialog): the preset buttons.
void ApplyPreset(WindowHandle dialog, const Preset& preset);
