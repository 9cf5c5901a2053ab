// Process services on Linux. The platform is never of the Windows 95 family:
// there is no saver password, no password or input-method library and no
// system screen-saver-running state, so those calls find nothing and do nothing.

#include "platform/platform.h"

#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

uintptr_t PlatformModuleInstance()
{
    return 0;
}

bool PlatformIsWin9xFamily()
{
    return false;
}

const char* PlatformCharNext(const char* text)
{
    // Every byte of a UTF-8 sequence is above 0x20 and no quote, so stepping
    // bytes finds the same tail as stepping whole characters.
    return *text != '\0' ? text + 1 : text;
}

void PlatformExitProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    // Like ExitProcess: no at-exit work, no static destructors (the X and GTK
    // libraries must not be torn down under a thread that may still be ending).
    _exit(code);
}

int PlatformRunGuarded(int (*body)(void* argument), void* argument, void (*)(), int)
{
    // A fault on Linux ends the process with its signal; the only work of the
    // guard elsewhere (clearing the system's saver-running state) has no
    // counterpart here.
    return body(argument);
}

uint32_t PlatformTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(milliseconds);
}

void PlatformSleep(uint32_t milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

bool PlatformReadScreenSaveUsePassword(uint32_t*)
{
    return false;
}

void PlatformSetScreenSaverRunning(uint32_t) {}

uint32_t PlatformRegisterWindowMessage(const char* name)
{
    // Numbers from the same range as the system's registered messages, one per name.
    static std::mutex namesMutex;
    static std::vector<std::string> names;
    if (name == nullptr || *name == '\0')
        return 0;
    std::lock_guard<std::mutex> lock(namesMutex);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name)
            return 0xC000u + static_cast<uint32_t>(i);
    }
    if (names.size() >= 0x4000u)
        return 0;
    names.emplace_back(name);
    return 0xC000u + static_cast<uint32_t>(names.size() - 1);
}

LibraryHandle PlatformLoadLibrary(const char*)
{
    return 0;
}

LibraryHandle PlatformGetLoadedLibrary(const char*)
{
    return 0;
}

ProcAddress PlatformGetProcAddress(LibraryHandle, const char*)
{
    return 0;
}

void PlatformFreeLibrary(LibraryHandle) {}

// No library ever yields an entry point here; the calls answer as a missing library would.
int32_t PlatformCallVerifyScreenSavePwd(ProcAddress, WindowHandle)
{
    return 1;
}

uint32_t PlatformCallPwdChangePassword(ProcAddress, const char*, WindowHandle, uint32_t, void*)
{
    return 0;
}

uintptr_t PlatformCallImmAssociateContext(ProcAddress, WindowHandle, uintptr_t)
{
    return 0;
}
