#include "host/saver_window.h"

MessageResult SaverClassProc(WindowHandle, uint32_t, WParam, LParam)
{
    return 0;
}

MessageResult DefaultSaverProc(WindowHandle, uint32_t, WParam, LParam)
{
    return 0;
}

int RunSaverWindow(WindowHandle)
{
    return -1;
}
