// The one process-wide record of user options, and its defaults.
//
// Every field is 32 bits wide and named like the stored value it comes from.
// Only the window thread writes the record, and in the saver process only
// before the render thread starts; everybody else reads it directly.
#pragma once

#include <cstdint>

struct SettingsRecord {
    int32_t Priority;            // render thread priority: 0 lowest, 1 below normal, 2 normal
    float x_div;                 // grid cells across the desktop plane
    float y_div;                 // grid cells down the desktop plane
    float xyAmplitude;           // wave height
    float xyFrequency1;          // wave time rate, x term (or whole pattern)
    float xyFrequency2;          // wave time rate, y term
    float xySizeX;               // wave spatial scale along x
    float xySizeY;               // wave spatial scale along y
    int32_t Mode;                // 0 explode, 1..3 the dialog's waves, 4 a stored-only wave
    int32_t genChildren;         // children per resting piece; 0 or less: none
    int32_t xyGoraud;            // flag: smoothed mesh normals
    int32_t useLinear;           // flag: linear texture filtering
    int32_t screenTextureWidth;  // texels
    int32_t screenTextureHeight; // texels
    int32_t useTrails;           // flag: flying pieces leave trails
    int32_t enableMovement;      // flag: the camera swings and zooms
    float rotX0, rotX1;          // camera rotation about X: amplitude (degrees), time
    float rotY0, rotY1;          // camera rotation about Y
    float rotZ0, rotZ1;          // camera rotation about Z
    float zoom0, zoom1;          // camera zoom: amplitude (tenths), time
};

static_assert(sizeof(SettingsRecord) == 24 * 4, "24 fields of 32 bits each");

extern SettingsRecord Settings;

// One entry per stored value, in the stored order: the value's name, the
// record's member it fills (exactly one of the two pointers is set), and the
// whole numbers a command-line option may give it. Persistence and the
// saver-daemon options both read the record through this table.
struct SettingField {
    const char* name;
    int32_t SettingsRecord::*intField;
    float SettingsRecord::*floatField;
    int low, high;
};
constexpr int kSettingFieldCount = 24;
extern const SettingField kSettingFields[kSettingFieldCount];

// The entry of the stored value called name, or nullptr.
const SettingField* FindSettingField(const char* name);
// Assigns value to the field's member of *record, converted to its type.
void SetSettingField(SettingsRecord* record, const SettingField& field, double value);

// Assigns every field its default and touches nothing else.
void SetDefaultSettings();
