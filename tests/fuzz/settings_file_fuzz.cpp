// Any bytes as the settings file, through the real store on real files: no
// crash, and the round trip holds. The 24 values read (or the input's own
// bytes where one is missing) are saved and read back unchanged; every other
// key keeps its bytes; saving the same values again leaves the file as it is.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
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

// Every byte outside the settings key's sections: those start at a line
// "[HKEY_CURRENT_USER\<key>]" and end at the next line that starts with '['
// and ends with ']', with no control byte but a tab.
std::string Foreign(const std::string& text)
{
    const std::string header = "[HKEY_CURRENT_USER\\" + std::string(SettingsKeyPath) + "]";
    std::string out;
    bool ours = false;
    for (size_t at = 0, next; at < text.size(); at = next) {
        next = std::min(text.find('\n', at), text.size() - 1) + 1;
        std::string line = text.substr(at, next - at);
        line.erase(line.find_last_not_of("\r\n \t") + 1); // a CR in the line end counts as none
        if (line.size() > 2 && line.front() == '[' && line.back() == ']' &&
            std::none_of(line.begin(), line.end(),
                         [](unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; }))
            ours = strcasecmp(line.c_str(), header.c_str()) == 0;
        if (!ours)
            out += text.substr(at, next - at);
    }
    return out;
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
    // Outside the key, only line ends may be added (to end the last line
    // before a new section), and the heading of a file that was empty.
    const std::string before = Foreign(input), after = Foreign(saved);
    if (after.compare(0, before.size(), before) != 0 && !input.empty())
        std::abort(); // another key's bytes changed
    if (after.find_first_not_of("\r\n", before.size()) != std::string::npos && !input.empty())
        std::abort(); // more than line ends added outside the key
    if (Saved(values) != saved)
        std::abort(); // a save with no value changed changed the file
    return 0;
}
