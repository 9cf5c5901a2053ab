// The program's own window procedure for the saver window: it starts the
// render thread on creation and stops it on destruction.
#pragma once

#include "platform/platform_types.h"

MessageResult SaverWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
