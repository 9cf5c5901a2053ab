// Drives the settings store from outside for scripts/stress, through the
// program's own LoadSettings and SaveSettings:
//   settings_tool loop A B   saves record A, then B, then A ... until killed
//   settings_tool save [N]   loads, then saves (record N when given)
//   settings_tool which      prints which record (1 to 9) the file holds
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"

// Record n: field i holds n * 100 + i, as an int or as a float.
static SettingsRecord Record(int n)
{
    uint32_t raw[24];
    for (int i = 0; i < 24; ++i) {
        const float asFloat = static_cast<float>(n * 100 + i);
        raw[i] = static_cast<uint32_t>(n * 100 + i);
        if ((i >= 1 && i <= 7) || i >= 16) // x_div .. xySizeY, rotX0 .. zoom1
            std::memcpy(&raw[i], &asFloat, 4);
    }
    SettingsRecord record;
    std::memcpy(&record, raw, sizeof record);
    return record;
}

int main(int argc, char** argv)
{
    std::signal(SIGXFSZ, SIG_IGN); // a file-size limit fails the write, as a full disk does
    const std::string command = argc > 1 ? argv[1] : "";
    for (int round = 0; command == "loop" && argc == 4; ++round) {
        Settings = Record(std::atoi(argv[2 + round % 2]));
        SaveSettings();
    }
    LoadSettings();
    if (command == "save")
        Settings = argc > 2 ? Record(std::atoi(argv[2])) : Settings;
    if (command == "save")
        return SaveSettings(), 0;
    for (int n = 1; n <= 9 && command == "which"; ++n) {
        const SettingsRecord record = Record(n);
        if (std::memcmp(&record, &Settings, sizeof record) == 0)
            return std::printf("%d\n", n), 0;
    }
    return std::fprintf(stderr, "settings_tool: %s\n",
                        command == "which" ? "no whole record"
                                           : "usage: loop A B | save [N] | which"),
           1;
}
