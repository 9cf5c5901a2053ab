#include "host/command_line.h"

#include <cstdlib>

#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "host/password.h"
#include "host/saver_window.h"
#include "platform/platform.h"

uintptr_t saverInstance = 0;
int isWin9x = 0;

SaverModes saverModes = {RunSaverWindow, OpenConfiguration, ChangeSaverPassword};

namespace {

bool IsWindowNumber(uint32_t number)
{
    return number != 0 && platform.isWindow(static_cast<WindowHandle>(number));
}

const char* SkipBlanks(const char* text)
{
    while (*text == ' ')
        ++text;
    return text;
}

// The mode grammar: the first byte that is not a separator picks the mode.
int RunMode(void* argument)
{
    const char* text = static_cast<const char*>(argument);
    for (;; ++text) {
        const signed char byte = static_cast<signed char>(*text);
        switch (byte) {
        case ' ':
        case '-':
        case '/':
            continue;
        case '\0':
            return saverModes.openConfiguration(0);
        case 'S':
        case 's':
            return saverModes.runSaverWindow(0);
        case 'P':
        case 'p':
        case 'L':
        case 'l': {
            const uint32_t number = ParseHandleNumber(SkipBlanks(text + 1));
            if (!IsWindowNumber(number))
                return -1;
            return saverModes.runSaverWindow(static_cast<WindowHandle>(number));
        }
        case 'C':
        case 'c': {
            uint32_t number = 0;
            if (text[1] == ':')
                number = ParseHandleNumber(text + 2);
            const WindowHandle owner = IsWindowNumber(number) ? static_cast<WindowHandle>(number)
                                                              : platform.getForegroundWindow();
            return saverModes.openConfiguration(owner);
        }
        case 'A':
        case 'a': {
            if (!isWin9x)
                return -1;
            const uint32_t number = ParseHandleNumber(SkipBlanks(text + 1));
            const WindowHandle owner = IsWindowNumber(number) ? static_cast<WindowHandle>(number)
                                                              : platform.getForegroundWindow();
            saverModes.changeSaverPassword(owner);
            return 0;
        }
        default:
            return -1;
        }
    }
}

// A fault that reached the guard must not leave the system believing that a
// protected saver still runs.
void ClearRunningFlagAfterFault()
{
    SetSaverRunningFlag(0);
}

} // namespace

const char* FindCommandTail(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        p = platform.charNext(p);
        while (*p != '\0' && *p != '"')
            p = platform.charNext(p);
        if (*p == '"')
            p = platform.charNext(p);
    } else if (static_cast<unsigned char>(*p) > 0x20) {
        while (static_cast<unsigned char>(*p) > 0x20)
            p = platform.charNext(p);
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= 0x20)
        p = platform.charNext(p);
    return p;
}

void SaverStartup(const char* commandLine)
{
    const int code = SaverMain(platform.moduleInstance(), FindCommandTail(commandLine));
    platform.exitProcess(code);
    NativePlatform().exitProcess(code); // a stand-in exit that returned still ends the process
    std::_Exit(code);                   // not reached
}

int SaverMain(uintptr_t instance, const char* tail)
{
    saverInstance = instance;
    isWin9x = platform.isWin9xFamily() ? 1 : 0;
    return platform.runGuarded(RunMode, const_cast<char*>(tail), ClearRunningFlagAfterFault, -1);
}

uint32_t ParseHandleNumber(const char* text)
{
    uint32_t number = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        number = number * 10u + static_cast<uint32_t>(*text - '0');
    return number;
}

int OpenConfiguration(WindowHandle owner)
{
    if (PrepareConfigureDialog(saverInstance) == 0)
        return 0;
    return platform.dialogBox(&kConfigureDialogTemplate, owner, ConfigureDialogProc);
}
