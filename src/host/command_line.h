// Process entry and the command-line modes: full screen (/s), preview inside
// another window (/p <window>), configuration (/c[:window] or nothing) and,
// on the Windows 95 family, the password change (/a [window]).
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

// The program's instance handle; set first thing by SaverMain.
extern uintptr_t saverInstance;
// 1 on the Windows 95 family, else 0; set by SaverMain before any mode runs.
extern int isWin9x;

// The modes SaverMain runs. The real ones unless a test has put recorders here.
struct SaverModes {
    int (*runSaverWindow)(WindowHandle parent);
    int (*openConfiguration)(WindowHandle owner);
    void (*changeSaverPassword)(WindowHandle owner);
};
extern SaverModes saverModes;

// The part of a full command line behind the program's name, with the
// separating blanks and control bytes skipped.
const char* FindCommandTail(const char* commandLine);

// Runs the mode that commandLine names and ends the process with its result.
[[noreturn]] void SaverStartup(const char* commandLine);

// Runs exactly one mode for the command-line tail; returns the exit code.
int SaverMain(uintptr_t instance, const char* tail);

// Reads decimal digits up to the first other byte, wrapping modulo 2^32.
uint32_t ParseHandleNumber(const char* text);

// The configuration dialog owned by owner (0: none); its result, 0 when the hook cancels it.
int OpenConfiguration(WindowHandle owner);
