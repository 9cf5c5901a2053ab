// Any bytes as the settings file, through the real store on real files: no
// crash, and the round trip holds. Reading, saving the 24 values read (or
// values of the input's own where one is missing) and reading again gives the
// same values; every other key keeps its bytes; saving again changes nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

const char* const kNames[24] = {"Priority",
                                "x_div",
                                "y_div",
                                "xyAmplitude",
                                "xyFrequency1",
                                "xyFrequency2",
                                "xySizeX",
                                "xySizeY",
                                "Mode",
                                "genChildren",
                                "xyGoraud",
                                "useLinear",
                                "screenTextureWidth",
                                "screenTextureHeight",
                                "useTrails",
                                "enableMovement",
                                "rotX0",
                                "rotX1",
                                "rotY0",
                                "rotY1",
                                "rotZ0",
                                "rotZ1",
                                "zoom0",
                                "zoom1"};

std::string root, folder, path;

std::string ReadFile()
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool SameKey(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The bytes of every section but the settings key's, and of what comes before
// the first section, in order. A section starts at a text line "[path]".
std::string Foreign(std::string_view text)
{
    const std::string key = std::string("HKEY_CURRENT_USER\\") + SettingsKeyPath;
    std::string out;
    bool ours = false;
    for (size_t at = 0; at < text.size();) {
        const size_t newline = text.find('\n', at);
        const size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view line = text.substr(at, next - at);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        bool isText = true;
        for (unsigned char c : line)
            isText = isText && !((c < 0x20 && c != '\t') || c == 0x7f);
        std::string_view trimmed = line;
        while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
            trimmed.remove_suffix(1);
        if (isText && trimmed.size() > 2 && trimmed.front() == '[' && trimmed.back() == ']')
            ours = SameKey(trimmed.substr(1, trimmed.size() - 2), key);
        if (!ours)
            out.append(text.substr(at, next - at));
        at = next;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A memory file system where there is one: the store flushes every save.
    std::string pattern =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm/bv-fuzz-XXXXXX" : "/tmp/bv-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    root = pattern;
    folder = root + "/brittleview";
    path = folder + "/settings.reg";
    std::atexit([] { std::filesystem::remove_all(root); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    SaveSettings(); // creates the folder
    std::ofstream(path, std::ios::binary | std::ios::trunc) << input;

    uint32_t values[24];
    SettingsStore* store = StoreOpenForRead(SettingsKeyPath);
    for (int i = 0; i < 24; ++i)
        if (!StoreQueryValue(store, kNames[i], &values[i]))
            values[i] = size > 0 ? 0x01010101u * data[i % size] + static_cast<uint32_t>(i) : 0;
    StoreClose(store);
    store = StoreOpenForWrite(SettingsKeyPath);
    for (int i = 0; i < 24; ++i)
        StoreSetValue(store, kNames[i], values[i]);
    StoreClose(store);

    const std::string saved = ReadFile();
    store = StoreOpenForRead(SettingsKeyPath);
    for (int i = 0; i < 24; ++i) {
        uint32_t value;
        if (!StoreQueryValue(store, kNames[i], &value) || value != values[i])
            std::abort(); // a value lost or changed by the round trip
    }
    StoreClose(store);
    const std::string before = Foreign(input), after = Foreign(saved);
    if (after.compare(0, before.size(), before) != 0 && !(input.empty() && before.empty()))
        std::abort(); // another key's bytes changed
    if (after.find_first_not_of("\r\n", before.size()) != std::string::npos &&
        !(input.empty() && after.starts_with("REGEDIT4")))
        std::abort(); // more than line ends added outside the settings key

    // The saver's and the dialog's own way: after one save, nothing moves.
    LoadSettings();
    SaveSettings();
    const std::string once = ReadFile();
    LoadSettings();
    SaveSettings();
    if (ReadFile() != once)
        std::abort(); // a save with no value changed changed the file
    return 0;
}
