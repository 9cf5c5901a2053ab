// The settings store on Win32: the registry under HKEY_CURRENT_USER, one
// REG_DWORD per named value. Registry writes reach the hive one value at a
// time, so there is nothing to commit when a handle closes.
#include "platform/settings_store.h"

#include <new>

#include <windows.h>

struct SettingsStore {
    HKEY key;
};

namespace {

SettingsStore* Wrap(LONG status, HKEY key)
{
    if (status != ERROR_SUCCESS)
        return nullptr;
    SettingsStore* store = new (std::nothrow) SettingsStore{key};
    if (!store)
        RegCloseKey(key);
    return store;
}

} // namespace

SettingsStore* StoreOpenForRead(const char* keyPath)
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key);
    return Wrap(status, key);
}

bool StoreQueryValue(SettingsStore* store, const char* name, uint32_t* value)
{
    if (!store)
        return false;
    // A four-byte buffer: longer data fails with ERROR_MORE_DATA. The type is
    // not examined, but shorter data is not a four-byte number and counts as
    // missing rather than as a half-filled value.
    DWORD data = 0;
    DWORD size = sizeof(data);
    DWORD type = 0;
    LONG status =
        RegQueryValueExA(store->key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (status != ERROR_SUCCESS || size != sizeof(data))
        return false;
    *value = data;
    return true;
}

SettingsStore* StoreOpenForWrite(const char* keyPath)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    // Query access as well, so a handle opened for writing can also read.
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE | KEY_QUERY_VALUE, nullptr, &key, &disposition);
    return Wrap(status, key);
}

void StoreSetValue(SettingsStore* store, const char* name, uint32_t value)
{
    if (!store)
        return;
    DWORD data = value;
    RegSetValueExA(store->key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof(data));
}

void StoreClose(SettingsStore* store)
{
    if (!store)
        return;
    RegCloseKey(store->key);
    delete store;
}
