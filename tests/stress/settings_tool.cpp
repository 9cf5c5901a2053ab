// Drives the settings store from outside for scripts/stress, through the
// program's own LoadSettings and SaveSettings:
//   settings_tool loop A B   saves record A, then B, then A ... until killed
//   settings_tool save [N]   loads, then saves once (record N when given)
//   settings_tool which      prints the number of the record the file holds
//                            (1 to 9), or fails when it holds a mix
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"

namespace {

// Record n: every field a different small number, exact in a float.
SettingsRecord Record(int n)
{
    SettingsRecord record;
    float* fields = reinterpret_cast<float*>(&record);
    for (int i = 0; i < 24; ++i) {
        const int32_t value = n * 100 + i;
        std::memcpy(&fields[i], &value, 4);
    }
    record.x_div = record.y_div = record.xyAmplitude = record.xyFrequency1 = float(n * 100);
    record.xyFrequency2 = record.xySizeX = record.xySizeY = record.rotX0 = float(n * 100 + 1);
    record.rotX1 = record.rotY0 = record.rotY1 = record.rotZ0 = float(n * 100 + 2);
    record.rotZ1 = record.zoom0 = record.zoom1 = float(n * 100 + 3);
    return record;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "loop" && argc == 4) {
        for (int round = 0;; ++round) {
            Settings = Record(std::atoi(argv[2 + round % 2]));
            SaveSettings();
        }
    }
    if (command == "save") {
        LoadSettings();
        if (argc > 2)
            Settings = Record(std::atoi(argv[2]));
        SaveSettings();
        return 0;
    }
    if (command == "which") {
        LoadSettings();
        for (int n = 1; n <= 9; ++n) {
            const SettingsRecord record = Record(n);
            if (std::memcmp(&record, &Settings, sizeof record) == 0)
                return std::printf("%d\n", n), 0;
        }
        return std::fprintf(stderr, "settings_tool: the file holds no whole record\n"), 1;
    }
    std::fprintf(stderr, "usage: settings_tool loop A B | save [N] | which\n");
    return 2;
}
