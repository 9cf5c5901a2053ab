// The dialog's numbers: any text reads as strtoll would, held to the int
// range; any 64-bit value (and any float as the dialog truncates it) is
// written as printf's "%lld" would, in the 21 bytes promised, and reads back.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/configure_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto clamp = [](long long v) {
        return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : v;
    };
    if (ParseDialogNumber(text.c_str()) != clamp(std::strtoll(text.c_str(), nullptr, 10)))
        std::abort();
    int64_t value = 0;
    float decimal = 0;
    std::memcpy(&value, data, std::min<size_t>(size, 8));
    std::memcpy(&decimal, data, std::min<size_t>(size, 4));
    for (const int64_t shown : {value, TruncateForDialog(decimal)}) {
        char* out = static_cast<char*>(std::malloc(21));
        char reference[32];
        std::snprintf(reference, sizeof reference, "%lld", static_cast<long long>(shown));
        if (std::strcmp(FormatDialogNumber(shown, out), reference) != 0 ||
            ParseDialogNumber(out) != clamp(shown))
            std::abort();
        std::free(out);
    }
    return 0;
}
