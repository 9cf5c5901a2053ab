// The program's own window procedure for the saver window, and the render
// thread that it starts on creation and stops on destruction.
#pragma once

#include <atomic>

#include "platform/platform_types.h"

// Keeps the render thread drawing; set by the window thread on creation,
// cleared on destruction, read by the render thread before every frame.
extern std::atomic<int> renderRunning;

MessageResult SaverWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
