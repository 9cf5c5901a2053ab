#include "config/presets.h"

#include "config/configure_dialog.h"
#include "core/settings.h"

namespace {
constexpr int K = kPresetKeeps;
} // namespace

// Columns: x_div, y_div, Mode, genChildren, xyAmplitude, xyFrequency1,
// xyFrequency2, enableMovement, rotX0, rotX1, rotY0, rotY1, rotZ0, rotZ1, zoom0, zoom1.
// Explode looks keep the wave options; wave looks keep the children count.
const Preset kPresets[kPresetCount] = {
    {1025, "Explode1", 30, 25, 0, 2, K, K, K, 1, 45, 30, 45, 25, 45, 20, 3, 0},
    {1026, "Explode2", 5, 35, 0, 2, K, K, K, 1, 30, 30, 30, 50, 60, 20, 4, 0},
    {1072, "Explode3", 40, 5, 0, 2, K, K, K, 1, 0, 0, 360, 30, 0, 0, 5, 0},
    {1064, "Explode4", 5, 5, 0, 4, K, K, K, 1, 0, 0, 30, 30, 20, 10, 5, 0},
    {1065, "Wave1", 80, 60, 1, K, 50, 30, 30, 1, 10, 30, 10, 25, 45, 20, 25, 20},
    {1066, "Wave2", 80, 60, 2, K, 80, 30, 30, 1, 0, 0, 0, 0, 0, 0, 13, 0},
    {1067, "Wave3", 100, 80, 3, K, 50, 30, 30, 1, 0, 0, 0, 0, 3600, 100, 14, 0},
    {1068, "Wave4", 80, 60, 3, K, 20, 20, 30, 1, 10, 30, 10, 25, 45, 20, 25, 20},
};

const Preset* FindPreset(int controlId)
{
    for (const Preset& preset : kPresets) {
        if (preset.controlId == controlId)
            return &preset;
    }
    return nullptr;
}

namespace {

void Assign(float& field, int value)
{
    if (value != kPresetKeeps)
        field = static_cast<float>(value);
}

void Assign(int32_t& field, int value)
{
    if (value != kPresetKeeps)
        field = value;
}

} // namespace

void ApplyPresetValues(const Preset& preset, SettingsRecord* record)
{
    Assign(record->x_div, preset.x_div);
    Assign(record->y_div, preset.y_div);
    Assign(record->Mode, preset.Mode);
    Assign(record->genChildren, preset.genChildren);
    Assign(record->xyAmplitude, preset.xyAmplitude);
    Assign(record->xyFrequency1, preset.xyFrequency1);
    Assign(record->xyFrequency2, preset.xyFrequency2);
    Assign(record->enableMovement, preset.enableMovement);
    Assign(record->rotX0, preset.rotX0);
    Assign(record->rotX1, preset.rotX1);
    Assign(record->rotY0, preset.rotY0);
    Assign(record->rotY1, preset.rotY1);
    Assign(record->rotZ0, preset.rotZ0);
    Assign(record->rotZ1, preset.rotZ1);
    Assign(record->zoom0, preset.zoom0);
    Assign(record->zoom1, preset.zoom1);
}

void ApplyPresetValues(const Preset& preset)
{
    ApplyPresetValues(preset, &Settings);
}

void ApplyPreset(WindowHandle dialog, const Preset& preset)
{
    ApplyPresetValues(preset);
    FillConfigDialog(dialog);
}
