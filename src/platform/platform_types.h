// Neutral handle and message types shared by the seam and the code above it.
// A WindowHandle is an HWND on Win32 and an X window id on X11; 0 is "none".
#pragma once

#include <cstdint>

using WindowHandle = uintptr_t;
using MessageResult = intptr_t; // LRESULT
using WParam = uintptr_t;
using LParam = intptr_t;

// A window procedure in the Win32 sense, over neutral types.
using WindowProcedure = MessageResult (*)(WindowHandle window, uint32_t message, WParam wParam,
                                          LParam lParam);

// A screen position in pixels (a POINT).
struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// A rectangle in pixels (a RECT): right and bottom are exclusive.
struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

using LibraryHandle = uintptr_t; // a loaded library (HMODULE); 0 is none
using ProcAddress = uintptr_t;   // an entry point in one (FARPROC); 0 is none
