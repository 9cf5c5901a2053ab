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
