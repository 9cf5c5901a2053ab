// GTK 3 dialogs built from the program's dialog templates (being written).
#include "platform/dialog.h"

int PlatformDialogBox(int, WindowHandle, WindowProcedure) { return 2; }
void PlatformInitCommonControls() {}
void PlatformSetDlgItemText(WindowHandle, int, const char*) {}
int PlatformGetDlgItemText(WindowHandle, int, char* buffer, int maxCount)
{
    if (buffer && maxCount > 0) buffer[0] = '\0';
    return 0;
}
void PlatformSetStaticText(WindowHandle, int, const char*) {}
void PlatformCheckDlgButton(WindowHandle, int, bool) {}
void PlatformCheckRadioButton(WindowHandle, int, int, int) {}
void PlatformTrackbarSetRange(WindowHandle, int, int, int, bool) {}
void PlatformTrackbarSetPos(WindowHandle, int, int, bool) {}
void PlatformTrackbarSetLineSize(WindowHandle, int, int) {}
void PlatformTrackbarSetPageSize(WindowHandle, int, int) {}
int PlatformTrackbarGetPos(WindowHandle, int) { return 0; }
bool PlatformIsDlgItem(WindowHandle, int, LParam) { return false; }
MessageResult PlatformColorStaticOnButtonFace(WParam, uint32_t) { return 0; }
void PlatformOpenLink(const char*) {}
void PlatformEndDialog(WindowHandle, int) {}
