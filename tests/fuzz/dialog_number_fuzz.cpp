// The dialog's numbers: any text read as atoi would (saturating at the int
// range), and any 64-bit value written as "%d" would, then read back.
#include <cinttypes>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/configure_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    long long expected = std::strtoll(text.c_str(), nullptr, 10);
    expected = expected > INT32_MAX ? INT32_MAX : expected < INT32_MIN ? INT32_MIN : expected;
    const int read = ParseDialogNumber(text.c_str());
    if (read != expected)
        std::abort();

    int64_t value = read;
    if (size >= 8)
        std::memcpy(&value, data, 8);
    float decimal;
    std::memcpy(&decimal, data + (size >= 4 ? size - 4 : 0), size >= 4 ? 4 : 0);
    for (const int64_t shown : {value, int64_t{read}, TruncateForDialog(size >= 4 ? decimal : 0)}) {
        char* out = static_cast<char*>(std::malloc(21)); // the room the contract asks for
        char reference[32];
        std::snprintf(reference, sizeof reference, "%" PRId64, shown);
        if (std::strcmp(FormatDialogNumber(shown, out), reference) != 0)
            std::abort();
        const int64_t clamped = shown > INT32_MAX   ? INT32_MAX
                                : shown < INT32_MIN ? INT32_MIN
                                                    : shown;
        if (ParseDialogNumber(out) != clamped)
            std::abort();
        std::free(out);
    }
    return 0;
}
