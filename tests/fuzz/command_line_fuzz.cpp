// Any bytes as the command line (the first byte picks the platform family):
// the tail behind the program name, then the mode, run by recorders in a
// window system where the multiples of 7 are windows.
#include <cstdlib>
#include <string>

#include "host/command_line.h"
#include "platform/platform.h"

namespace {

bool win9x = false;
int calls = 0;
WindowHandle handed = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    platform = NativePlatform();
    platform.isWindow = [](WindowHandle w) { return w != 0 && w % 7 == 0; };
    platform.getForegroundWindow = []() -> WindowHandle { return 21; };
    platform.isWin9xFamily = []() { return win9x; };
    saverModes.runSaverWindow = [](WindowHandle w) { return ++calls, handed = w, 7; };
    saverModes.openConfiguration = [](WindowHandle w) { return ++calls, handed = w, 1; };
    saverModes.changeSaverPassword = [](WindowHandle w) { ++calls, handed = w; };
    win9x = data[0] & 1;
    calls = 0;
    handed = 0;

    const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1); // NUL-terminated
    const char* tail = FindCommandTail(line.c_str());
    if (tail < line.c_str() || tail > line.c_str() + line.size() ||
        (*tail != '\0' && static_cast<unsigned char>(*tail) <= 0x20))
        std::abort(); // outside the line, or a separator left in front of the tail
    const int code = SaverMain(0, tail);
    if (calls > 1 || (calls == 0) != (code == -1) || (code != -1 && code > 1 && code != 7) ||
        handed % 7 != 0)
        std::abort(); // one mode at most, -1 exactly when none ran, only windows handed on
    return 0;
}
