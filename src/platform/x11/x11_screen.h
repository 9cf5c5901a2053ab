// The primary screen of the X11 backend (the default screen's root window).
// The Linux seam functions of platform/screen.h hand on to these while X11 is
// the active backend; the contracts are those of the seam functions.
#pragma once

#include "platform/screen.h"

void X11GetPrimaryScreenSize(int* width, int* height);
bool X11CapturePrimaryScreen(int width, int height, uint8_t* out);
