// Dialog boxes on Win32: the templates are the program's dialog resources,
// and each dialog's procedure is reached through one dialog procedure of the
// platform's calling convention.
#include "platform/platform.h"

#include "platform/dialog_templates.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

namespace {

// The procedure of the dialog that is being created. DialogBoxParamA sends
// messages (WM_SETFONT, WM_INITDIALOG) before it returns anything, so the
// procedure is handed over here and kept in the dialog's user data from its
// first message on. Dialogs opened from a dialog (the About box) nest.
WindowProcedure pendingProcedure = nullptr;

INT_PTR CALLBACK DialogThunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto proc = reinterpret_cast<WindowProcedure>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!proc) {
        proc = pendingProcedure;
        if (!proc)
            return FALSE;
        pendingProcedure = nullptr;
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(proc));
    }
    return proc(reinterpret_cast<WindowHandle>(dialog), message, wParam, lParam);
}

} // namespace

int PlatformDialogBox(const DialogTemplate* dialog, WindowHandle owner, WindowProcedure proc)
{
    if (!dialog)
        return -1;
    pendingProcedure = proc;
    // The template's id is the number of the dialog resource that the resource script builds
    // from the same table.
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog->id),
                                     reinterpret_cast<HWND>(owner), DialogThunk, 0);
    pendingProcedure = nullptr;
    return static_cast<int>(result);
}

void PlatformInitCommonControls()
{
    InitCommonControls();
}

namespace {

HWND ToHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

LRESULT SendItem(WindowHandle dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageA(ToHwnd(dialog), id, message, wParam, lParam);
}

} // namespace

void PlatformSetDlgItemText(WindowHandle dialog, int id, const char* text)
{
    SetDlgItemTextA(ToHwnd(dialog), id, text);
}

int PlatformGetDlgItemText(WindowHandle dialog, int id, char* buffer, int maxCount)
{
    if (maxCount <= 0)
        return 0;
    buffer[0] = '\0';
    return static_cast<int>(GetDlgItemTextA(ToHwnd(dialog), id, buffer, maxCount));
}

void PlatformSetStaticText(WindowHandle dialog, int id, const char* text)
{
    SendItem(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void PlatformCheckDlgButton(WindowHandle dialog, int id, bool checked)
{
    SendItem(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PlatformCheckRadioButton(WindowHandle dialog, int firstId, int lastId, int checkId)
{
    CheckRadioButton(ToHwnd(dialog), firstId, lastId, checkId);
}

void PlatformTrackbarSetRange(WindowHandle dialog, int id, int minimum, int maximum, bool redraw)
{
    SendItem(dialog, id, TBM_SETRANGE, redraw ? TRUE : FALSE, MAKELPARAM(minimum, maximum));
}

void PlatformTrackbarSetPos(WindowHandle dialog, int id, int position, bool redraw)
{
    SendItem(dialog, id, TBM_SETPOS, redraw ? TRUE : FALSE, position);
}

void PlatformTrackbarSetLineSize(WindowHandle dialog, int id, int size)
{
    SendItem(dialog, id, TBM_SETLINESIZE, 0, size);
}

void PlatformTrackbarSetPageSize(WindowHandle dialog, int id, int size)
{
    SendItem(dialog, id, TBM_SETPAGESIZE, 0, size);
}

int PlatformTrackbarGetPos(WindowHandle dialog, int id)
{
    return static_cast<int>(SendItem(dialog, id, TBM_GETPOS, 0, 0));
}

bool PlatformIsDlgItem(WindowHandle dialog, int id, LParam control)
{
    HWND item = GetDlgItem(ToHwnd(dialog), id);
    return item != nullptr && reinterpret_cast<LParam>(item) == control;
}

MessageResult PlatformColorStaticOnButtonFace(WParam deviceContext, uint32_t textColour)
{
    HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetTextColor(dc, textColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<MessageResult>(GetSysColorBrush(COLOR_BTNFACE));
}

void PlatformOpenLink(const char* target)
{
    ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

void PlatformEndDialog(WindowHandle dialog, int result)
{
    EndDialog(ToHwnd(dialog), result);
}
