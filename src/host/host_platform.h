// The platform calls the host makes, gathered in one table of function
// pointers. The host logic calls the platform only through hostPlatform, so
// that the unit tests can put a recording stand-in in its place while the real
// backend stays linked into the same program.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"
#include "platform/system.h"
#include "platform/window.h"

struct HostPlatform {
    // window.h
    bool (*registerSaverClass)(uintptr_t instance, WindowProcedure proc);
    WindowHandle (*createSaverWindow)(uint32_t exStyle, const char* title, uint32_t style, int x,
                                      int y, int width, int height, WindowHandle parent,
                                      uintptr_t instance);
    int (*runMessageLoop)();
    void (*postMessage)(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
    MessageResult (*sendMessage)(WindowHandle window, uint32_t message, WParam wParam,
                                 LParam lParam);
    void (*postQuitMessage)(int code);
    MessageResult (*defWindowProc)(WindowHandle window, uint32_t message, WParam wParam,
                                   LParam lParam);
    bool (*removeMessage)(WindowHandle window, uint32_t first, uint32_t last);
    ScreenPoint (*getCursorPos)();
    void (*hideCursor)();
    WindowHandle (*findWindow)(const char* className, const char* title);
    void (*setForegroundWindow)(WindowHandle window);
    WindowHandle (*getForegroundWindow)();
    bool (*isWindow)(WindowHandle window);
    WindowHandle (*getParent)(WindowHandle window);
    bool (*getClientSize)(WindowHandle window, int* width, int* height);
    ScreenRect (*getScreenClipBox)();
    // dialog.h
    int (*dialogBox)(int templateId, WindowHandle owner, WindowProcedure proc);
    // system.h
    uintptr_t (*moduleInstance)();
    bool (*isWin9xFamily)();
    const char* (*charNext)(const char* text);
    void (*exitProcess)(int code); // never returns in the real program
    int (*runGuarded)(int (*body)(void* argument), void* argument, void (*onFault)(),
                      int faultResult);
    uint32_t (*tickCount)();
    void (*sleep)(uint32_t milliseconds);
    bool (*readScreenSaveUsePassword)(uint32_t* value);
    void (*setScreenSaverRunning)(uint32_t value);
    uint32_t (*registerWindowMessage)(const char* name);
    LibraryHandle (*loadLibrary)(const char* name);
    LibraryHandle (*getLoadedLibrary)(const char* name);
    ProcAddress (*getProcAddress)(LibraryHandle library, const char* name);
    void (*freeLibrary)(LibraryHandle library);
    int32_t (*callVerifyScreenSavePwd)(ProcAddress entry, WindowHandle window);
    uint32_t (*callPwdChangePassword)(ProcAddress entry, const char* provider, WindowHandle owner,
                                      uint32_t flags, void* reserved);
    uintptr_t (*callImmAssociateContext)(ProcAddress entry, WindowHandle window, uintptr_t context);
};

// The real platform's functions.
extern const HostPlatform kRealHostPlatform;
// What the host calls; kRealHostPlatform unless a test has replaced it.
extern HostPlatform hostPlatform;
