// Defaults() and SameRecord() for the settings tests. The sandbox keeps the dialog tests
// away from the user's own settings: on Linux a fresh $XDG_CONFIG_HOME for its life; on
// Windows a settings key reset to the defaults.
#pragma once

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

inline SettingsRecord Defaults()
{
    SettingsRecord record = Settings;
    SetDefaultSettings();
    std::swap(record, Settings);
    return record;
}

inline bool SameRecord(const SettingsRecord& a, const SettingsRecord& b)
{
    return !std::memcmp(&a, &b, sizeof a);
}

struct DialogStoreSandbox {
    DialogStoreSandbox()
    {
#ifdef _WIN32
        WriteSettingsKey(SettingsKeyPath, Defaults(), false);
#else
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            oldValue = old;
        folder = (std::filesystem::temp_directory_path() / "bv-dialog-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort(); // never fall back to the user's own file
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
#endif
    }
    ~DialogStoreSandbox()
    {
#ifndef _WIN32
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        oldValue.empty() ? unsetenv("XDG_CONFIG_HOME")
                         : setenv("XDG_CONFIG_HOME", oldValue.c_str(), 1);
#endif
    }

    // The record that the settings key holds now, over the defaults.
    static SettingsRecord Stored()
    {
        SettingsRecord record = Defaults();
        ReadSettingsKey(SettingsKeyPath, &record);
        return record;
    }

    std::string folder, oldValue;
};
