#include "core/settings.h"

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
