// The per-user settings store: named 32-bit values under a key path.
//
// On Win32 this is the registry under HKEY_CURRENT_USER; on X11 it is one
// per-user text file in registry export format. Key paths use backslashes
// and are relative to the current user's root ("Software\\...").
//
// A handle opened for writing holds whatever the platform needs to make the
// whole update reach the store at once (on X11 a lock and the file's contents);
// it commits in StoreClose. Every operation accepts a null store and then does
// nothing (queries report "missing").
#pragma once

#include <cstdint>

struct SettingsStore; // opaque, one per open key

// The key that holds the saver's settings: "Software\\Quarnel\\ScreenSavers\\Brittleview".
extern const char* const SettingsKeyPath;

// Opens an existing key for reading. nullptr: the key is missing or unreadable.
SettingsStore* StoreOpenForRead(const char* keyPath);

// Reads one named value into *value. false (and *value untouched) when the
// value is missing, is not a four-byte number, or cannot be read. Works on
// handles opened for reading and for writing.
bool StoreQueryValue(SettingsStore* store, const char* name, uint32_t* value);

// Opens a key for writing, creating it and any missing parent keys.
// nullptr: the key cannot be opened or created, and nothing will be saved.
SettingsStore* StoreOpenForWrite(const char* keyPath);

// Sets one named value as a four-byte number (REG_DWORD). A failure is ignored.
void StoreSetValue(SettingsStore* store, const char* name, uint32_t value);

// Closes the handle; a handle opened for writing commits its values here.
// A commit that fails leaves the store as it was before StoreOpenForWrite.
void StoreClose(SettingsStore* store);
