#include "core/settings.h"

#include <cstring>

SettingsRecord Settings;

void SetDefaultSettings()
{
    Settings.Priority = 2;
    Settings.x_div = 25;
    Settings.y_div = 19;
    Settings.xyAmplitude = 10;
    Settings.xyFrequency1 = 10;
    Settings.xyFrequency2 = 10;
    Settings.xySizeX = 60;
    Settings.xySizeY = 60;
    Settings.Mode = 0;
    Settings.genChildren = 2;
    Settings.xyGoraud = 1;
    Settings.useLinear = 0;
    Settings.screenTextureWidth = 512;
    Settings.screenTextureHeight = 256;
    Settings.useTrails = 0;
    Settings.enableMovement = 1;
    Settings.rotX0 = 10;
    Settings.rotX1 = 30;
    Settings.rotY0 = 10;
    Settings.rotY1 = 25;
    Settings.rotZ0 = 45;
    Settings.rotZ1 = 20;
    Settings.zoom0 = 25;
    Settings.zoom1 = 20;
}

// clang-format off
#define BV_INT(field, low, high) {#field, &SettingsRecord::field, nullptr, low, high}
#define BV_FLOAT(field, low, high) {#field, nullptr, &SettingsRecord::field, low, high}
const SettingField kSettingFields[kSettingFieldCount] = {
    BV_INT(Priority, 0, 2),
    BV_FLOAT(x_div, 1, 300),         BV_FLOAT(y_div, 1, 300),
    BV_FLOAT(xyAmplitude, 0, 1000),  BV_FLOAT(xyFrequency1, 0, 1000),
    BV_FLOAT(xyFrequency2, 0, 1000), BV_FLOAT(xySizeX, 0, 1000),
    BV_FLOAT(xySizeY, 0, 1000),      BV_INT(Mode, 0, 3),
    BV_INT(genChildren, 0, 10),      BV_INT(xyGoraud, 0, 1),
    BV_INT(useLinear, 0, 1),         BV_INT(screenTextureWidth, 128, 2048),
    BV_INT(screenTextureHeight, 128, 2048),
    BV_INT(useTrails, 0, 1),         BV_INT(enableMovement, 0, 1),
    BV_FLOAT(rotX0, 0, 3600),        BV_FLOAT(rotX1, 0, 1000),
    BV_FLOAT(rotY0, 0, 3600),        BV_FLOAT(rotY1, 0, 1000),
    BV_FLOAT(rotZ0, 0, 3600),        BV_FLOAT(rotZ1, 0, 1000),
    BV_FLOAT(zoom0, 0, 100),         BV_FLOAT(zoom1, 0, 1000),
};
#undef BV_INT
#undef BV_FLOAT
// clang-format on

const SettingField* FindSettingField(const char* name)
{
    for (const SettingField& field : kSettingFields) {
        if (std::strcmp(field.name, name) == 0)
            return &field;
    }
    return nullptr;
}

void SetSettingField(SettingsRecord* record, const SettingField& field, double value)
{
    if (field.intField)
        record->*field.intField = static_cast<int32_t>(value);
    else
        record->*field.floatField = static_cast<float>(value);
}
