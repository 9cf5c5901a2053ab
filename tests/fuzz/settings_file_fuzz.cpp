// Any bytes as the settings file, through the real store on real files: no
// crash, and the round trip holds. The 24 values read (or the input's own
// bytes where one is missing) are saved and read back unchanged; saving the
// same values again leaves the file as it is.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

std::string root, path;

std::string Saved(const uint32_t* values)
{
    SettingsStore* store = StoreOpenForWrite(SettingsKeyPath);
    for (int i = 0; i < 24; ++i)
        StoreSetValue(store, kSettingFields[i].name, values[i]);
    StoreClose(store);
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A memory file system where there is one: the store flushes every save.
    root = access("/dev/shm", W_OK) == 0 ? "/dev/shm/bv-fuzz-XXXXXX" : "/tmp/bv-fuzz-XXXXXX";
    if (!mkdtemp(root.data()))
        std::abort();
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    path = root + "/brittleview/settings.reg";
    std::filesystem::create_directories(root + "/brittleview");
    std::atexit([] { std::filesystem::remove_all(root); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
    uint32_t values[24];
    SettingsStore* store = StoreOpenForRead(SettingsKeyPath);
    for (int i = 0; i < 24; ++i)
        if (!StoreQueryValue(store, kSettingFields[i].name, &values[i]))
            values[i] = size > 0 ? 0x01010101u * data[i % size] + static_cast<uint32_t>(i) : 0;
    StoreClose(store);

    const std::string saved = Saved(values);
    store = StoreOpenForRead(SettingsKeyPath);
    for (int i = 0; i < 24; ++i) {
        uint32_t value;
        if (!StoreQueryValue(store, kSettingFields[i].name, &value) || value != values[i])
            std::abort(); // a value lost or changed by the round trip
    }
    StoreClose(store);
    if (Saved(values) != saved)
        std::abort(); // a save with no value changed changed the file
    return 0;
}
