#include "platform/dialog.h"

int PlatformDialogBox(int, WindowHandle, WindowProcedure)
{
    return 2;
}
