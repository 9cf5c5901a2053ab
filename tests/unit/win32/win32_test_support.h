// Helpers shared by the tests of the Win32 backends. They run under Wine on a
// private X display; without a display no window can be made, and the tests
// that need one are skipped (the Windows test script fails on any skip).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

// True when top-level windows can be created here.
inline bool DesktopAvailable()
{
    HWND probe = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!probe)
        return false;
    DestroyWindow(probe);
    return true;
}

#define REQUIRE_DESKTOP()                                                                          \
    do {                                                                                           \
        if (!DesktopAvailable())                                                                   \
            GTEST_SKIP() << "no desktop to create windows on";                                     \
    } while (0)

// Dispatches whatever is waiting in this thread's queue.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
