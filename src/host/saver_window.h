// The saver window: its class procedure, the default saver procedure and the
// mode that creates the window and runs its message loop.
#pragma once

#include "platform/platform_types.h"

MessageResult SaverClassProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
MessageResult DefaultSaverProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);

// Full screen when parent is 0, else a preview inside parent. Returns the exit code.
int RunSaverWindow(WindowHandle parent);
