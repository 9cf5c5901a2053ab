// Keeps the dialog tests away from the user's own settings. On Linux the store
// is a file below $XDG_CONFIG_HOME, which is pointed at a fresh folder for the
// life of the sandbox. On Windows the store is the registry of the (test)
// prefix; the settings key is reset to the defaults instead, which the dialog
// cannot tell from a key that holds nothing.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

class DialogStoreSandbox {
public:
    DialogStoreSandbox()
    {
#ifdef _WIN32
        SettingsRecord defaults;
        SettingsRecord saved = Settings;
        SetDefaultSettings();
        defaults = Settings;
        Settings = saved;
        WriteSettingsKey(SettingsKeyPath, defaults, false);
#else
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldValue_ = old;
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() /
                  ("bv-dialog-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(folder_);
        setenv("XDG_CONFIG_HOME", folder_.string().c_str(), 1);
#endif
    }

    ~DialogStoreSandbox()
    {
#ifndef _WIN32
        if (oldValue_) {
            setenv("XDG_CONFIG_HOME", oldValue_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
#endif
    }

    DialogStoreSandbox(const DialogStoreSandbox&) = delete;
    DialogStoreSandbox& operator=(const DialogStoreSandbox&) = delete;

    // The record that the settings key holds now, over the defaults.
    static SettingsRecord Stored()
    {
        const SettingsRecord saved = Settings;
        LoadSettings();
        const SettingsRecord stored = Settings;
        Settings = saved;
        return stored;
    }

private:
    std::filesystem::path folder_;
    std::optional<std::string> oldValue_;
};
