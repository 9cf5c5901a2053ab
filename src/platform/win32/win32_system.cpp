// Process-level services on Win32: the platform family, ticks, process exit,
// the fault guard, run-time libraries and the few system settings the saver
// touches.
#include "platform/platform.h"

#include <cstdio>

#include <windows.h>

uintptr_t PlatformModuleInstance()
{
    return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
}

bool PlatformIsWin9xFamily()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    // Deprecated in newer SDKs because it reports a shimmed version; the
    // platform family is all that is read here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

const char* PlatformCharNext(const char* text)
{
    return CharNextA(text);
}

void PlatformExitProcess(int code)
{
    std::fflush(stdout);
    ExitProcess(static_cast<UINT>(code));
}

// The fault guard. GCC has no __try/__except, so the guard is the process's
// top-level exception filter, installed for the length of the body. The
// system calls it for a fault that nothing else handles, on whichever thread
// faulted. It lets the system report the fault in its own way first (its
// UnhandledExceptionFilter: a debugger or the crash report), and when that
// answers "execute the handler" it runs the fault work and ends the process
// with the guard's fault result, just as the body returning that result would.
namespace {

void (*guardOnFault)() = nullptr;
int guardFaultResult = 0;

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* exception)
{
    // Stand aside, so the system's filter does not call this one again.
    SetUnhandledExceptionFilter(nullptr);
    LONG verdict = UnhandledExceptionFilter(exception);
    if (verdict != EXCEPTION_EXECUTE_HANDLER)
        return verdict;
    if (guardOnFault)
        guardOnFault();
    std::fflush(stdout);
    ExitProcess(static_cast<UINT>(guardFaultResult));
}

} // namespace

int PlatformRunGuarded(int (*body)(void* argument), void* argument, void (*onFault)(),
                       int faultResult)
{
    guardOnFault = onFault;
    guardFaultResult = faultResult;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(GuardFilter);
    int result = body(argument);
    SetUnhandledExceptionFilter(previous);
    guardOnFault = nullptr;
    return result;
}

uint32_t PlatformTickCount()
{
    return GetTickCount();
}

void PlatformSleep(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

bool PlatformReadScreenSaveUsePassword(uint32_t* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return false;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG status = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    *value = data;
    return true;
}

void PlatformSetScreenSaverRunning(uint32_t value)
{
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, value, &previous, 0);
}

uint32_t PlatformRegisterWindowMessage(const char* name)
{
    return RegisterWindowMessageA(name);
}

LibraryHandle PlatformLoadLibrary(const char* name)
{
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(name));
}

LibraryHandle PlatformGetLoadedLibrary(const char* name)
{
    return reinterpret_cast<LibraryHandle>(GetModuleHandleA(name));
}

ProcAddress PlatformGetProcAddress(LibraryHandle library, const char* name)
{
    if (!library)
        return 0;
    return reinterpret_cast<ProcAddress>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void PlatformFreeLibrary(LibraryHandle library)
{
    if (library)
        FreeLibrary(reinterpret_cast<HMODULE>(library));
}

// The entry points of libraries loaded by name, with the platform's calling convention.
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);
using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
using ImmAssociateContextFn = HANDLE(WINAPI*)(HWND, HANDLE);

int32_t PlatformCallVerifyScreenSavePwd(ProcAddress entry, WindowHandle window)
{
    auto verify = reinterpret_cast<VerifyScreenSavePwdFn>(entry);
    return verify(reinterpret_cast<HWND>(window));
}

uint32_t PlatformCallPwdChangePassword(ProcAddress entry, const char* provider, WindowHandle owner,
                                       uint32_t flags, void* reserved)
{
    auto change = reinterpret_cast<PwdChangePasswordFn>(entry);
    return change(provider, reinterpret_cast<HWND>(owner), flags, reserved);
}

uintptr_t PlatformCallImmAssociateContext(ProcAddress entry, WindowHandle window, uintptr_t context)
{
    auto associate = reinterpret_cast<ImmAssociateContextFn>(entry);
    return reinterpret_cast<uintptr_t>(
        associate(reinterpret_cast<HWND>(window), reinterpret_cast<HANDLE>(context)));
}
