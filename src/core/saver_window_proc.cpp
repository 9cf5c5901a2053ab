#include "core/saver_window_proc.h"

#include "host/saver_window.h"

std::atomic<int> renderRunning{0};

MessageResult SaverWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    return DefaultSaverProc(window, message, wParam, lParam);
}
