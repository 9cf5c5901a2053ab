#include "config/configure_dialog.h"

int PrepareConfigureDialog(uintptr_t)
{
    return 1;
}

MessageResult ConfigureDialogProc(WindowHandle, uint32_t, WParam, LParam)
{
    return 0;
}
