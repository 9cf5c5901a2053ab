// Helpers for the Win32 backend tests. They run under Wine on a private X
// display; without one no window can be made and those tests are skipped
// (the Windows test script counts a skip as a failure).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

inline bool DesktopAvailable()
{
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    return probe && DestroyWindow(probe);
}

#define REQUIRE_DESKTOP()                                                                          \
    if (!DesktopAvailable())                                                                       \
    GTEST_SKIP() << "no desktop to create windows on"

inline void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}
