// Any bytes as the command line: the tail behind the program name and the mode
// it names, with recording modes and a window system where a few numbers are
// windows. The first byte picks the platform family.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/command_line.h"
#include "host/host_platform.h"

namespace {

bool win9x = false;
int calls = 0;
WindowHandle lastWindow = 0;

bool IsWindowNumber(WindowHandle window)
{
    return window != 0 && window % 7 == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    hostPlatform = kRealHostPlatform;
    hostPlatform.isWindow = IsWindowNumber;
    hostPlatform.getForegroundWindow = []() -> WindowHandle { return 21; };
    hostPlatform.isWin9xFamily = []() { return win9x; };
    saverModes.runSaverWindow = [](WindowHandle parent) { return ++calls, lastWindow = parent, 7; };
    saverModes.openConfiguration = [](WindowHandle owner) {
        return ++calls, lastWindow = owner, 1;
    };
    saverModes.changeSaverPassword = [](WindowHandle owner) { ++calls, lastWindow = owner; };
    win9x = data[0] & 1;
    calls = 0;
    lastWindow = 0;

    const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1); // NUL-terminated
    const char* tail = FindCommandTail(line.c_str());
    if (tail < line.c_str() || tail > line.c_str() + line.size())
        std::abort();
    if (*tail != '\0' && static_cast<unsigned char>(*tail) <= 0x20)
        std::abort(); // separators behind the name are skipped
    const int code = SaverMain(0, tail);
    if (calls > 1 || (calls == 0) != (code == -1) ||
        (code != -1 && code != 0 && code != 1 && code != 7))
        std::abort(); // one mode at most, and -1 exactly when none ran
    if (calls == 1 && lastWindow != 0 && !IsWindowNumber(lastWindow))
        std::abort(); // a mode was handed something that is not a window
    return 0;
}
