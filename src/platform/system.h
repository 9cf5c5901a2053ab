// Process-level services the host needs: platform family, ticks, exit,
// run-time libraries (the password and input-method libraries are called
// through these wrappers because their calling convention is the platform's),
// and the few system settings the saver touches.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

using LibraryHandle = uintptr_t; // HMODULE; 0 is none
using ProcAddress = uintptr_t;   // FARPROC; 0 is none

// GetModuleHandleA(NULL): the program's instance handle.
uintptr_t PlatformModuleInstance();
// GetVersionExA (size 148): true only when it succeeds and reports the Windows 95 family.
bool PlatformIsWin9xFamily();
// CharNextA: the next character of text in the active code page (never past the NUL).
const char* PlatformCharNext(const char* text);
// ExitProcess(code) after flushing standard output; at-exit work does not run.
[[noreturn]] void PlatformExitProcess(int code);
// Runs body(argument) under the platform's fault guard. A fault is reported the platform's way,
// then onFault() runs and the result is faultResult; otherwise body's result.
int PlatformRunGuarded(int (*body)(void* argument), void* argument, void (*onFault)(),
                       int faultResult);

// GetTickCount: milliseconds since start, wrapping at 2^32.
uint32_t PlatformTickCount();
// Sleep(milliseconds); 0 gives up the rest of the time slice.
void PlatformSleep(uint32_t milliseconds);

// HKCU "Control Panel\Desktop" value "ScreenSaveUsePassword" read into a zeroed four-byte buffer
// (any type). false when the key or value is missing or longer than four bytes.
bool PlatformReadScreenSaveUsePassword(uint32_t* value);
// SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, value, &previous, 0).
void PlatformSetScreenSaverRunning(uint32_t value);
// RegisterWindowMessageA(name): a message number unique to name, 0 on failure.
uint32_t PlatformRegisterWindowMessage(const char* name);

// LoadLibraryA(name); 0 when it cannot be loaded.
LibraryHandle PlatformLoadLibrary(const char* name);
// GetModuleHandleA(name): a library the process has loaded already (never loads one), or 0.
LibraryHandle PlatformGetLoadedLibrary(const char* name);
// GetProcAddress(library, name), or 0.
ProcAddress PlatformGetProcAddress(LibraryHandle library, const char* name);
// FreeLibrary(library).
void PlatformFreeLibrary(LibraryHandle library);

// Calls entry as VerifyScreenSavePwd(window): nonzero lets the saver close.
int32_t PlatformCallVerifyScreenSavePwd(ProcAddress entry, WindowHandle window);
// Calls entry as PwdChangePasswordA(provider, owner, flags, reserved); its result is returned.
uint32_t PlatformCallPwdChangePassword(ProcAddress entry, const char* provider, WindowHandle owner,
                                       uint32_t flags, void* reserved);
// Calls entry as ImmAssociateContext(window, context): returns the window's previous context.
uintptr_t PlatformCallImmAssociateContext(ProcAddress entry, WindowHandle window,
                                          uintptr_t context);
