// Loading and saving the settings record through the platform's settings store.
#pragma once

// Defaults first, then every stored value laid over them.
void LoadSettings();
// Writes all 24 values (the configuration dialog's "OK").
void SaveSettings();
// Writes only the values that are missing or unreadable in the store (a saver
// process at its end), so that it never replaces what the dialog saved meanwhile.
void SaveMissingSettings();
