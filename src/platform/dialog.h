// Dialog boxes built from the program's dialog templates, and the controls
// inside them, addressed the Win32 way: by the dialog's window and a control id.
//
// Messages reach the dialog procedure with their Win32 numbers and parameters
// (host/win_messages.h): WM_INITDIALOG once the controls exist, WM_COMMAND with
// the control id in the low word of wParam and the notification code in the
// high word (BN_CLICKED for buttons, check boxes and radio buttons, EN_CHANGE
// for edits), WM_HSCROLL from a trackbar with the trackbar's window in lParam,
// and WM_CTLCOLORSTATIC for every static before it is drawn, with a device
// context in wParam and the static's window in lParam.
#pragma once

#include "platform/platform_types.h"

// Runs dialog template templateId modally with proc as its dialog procedure,
// owned by owner (0: none). Returns the value the procedure ended it with, or
// -1 when the dialog cannot be created.
int PlatformDialogBox(int templateId, WindowHandle owner, WindowProcedure proc);

// Makes the common controls (the trackbar) available. Win32: InitCommonControls.
void PlatformInitCommonControls();

// Sets the text of control id (SetDlgItemTextA). For an edit control this sends
// WM_COMMAND with EN_CHANGE to the dialog procedure before it returns, as a
// Win32 edit does; the text is set as given, whatever the edit accepts from typing.
void PlatformSetDlgItemText(WindowHandle dialog, int id, const char* text);
// Copies at most maxCount - 1 characters of control id's text into buffer and
// terminates it; returns the number of characters copied (GetDlgItemTextA).
// A missing control gives an empty string and 0.
int PlatformGetDlgItemText(WindowHandle dialog, int id, char* buffer, int maxCount);
// Sets the text of a static control (WM_SETTEXT through SendDlgItemMessageA). No notification.
void PlatformSetStaticText(WindowHandle dialog, int id, const char* text);

// Sets a check box's or radio button's check state (BM_SETCHECK). No notification.
void PlatformCheckDlgButton(WindowHandle dialog, int id, bool checked);
// Checks checkId and clears every other control whose id lies in firstId..lastId
// (CheckRadioButton). Ids of the range without a control are skipped. No notification.
void PlatformCheckRadioButton(WindowHandle dialog, int firstId, int lastId, int checkId);

// Trackbar messages (SendDlgItemMessageA). None of them notifies the dialog.
void PlatformTrackbarSetRange(WindowHandle dialog, int id, int minimum, int maximum,
                              bool redraw);                                          // TBM_SETRANGE
void PlatformTrackbarSetPos(WindowHandle dialog, int id, int position, bool redraw); // TBM_SETPOS
void PlatformTrackbarSetLineSize(WindowHandle dialog, int id, int size); // TBM_SETLINESIZE
void PlatformTrackbarSetPageSize(WindowHandle dialog, int id, int size); // TBM_SETPAGESIZE
int PlatformTrackbarGetPos(WindowHandle dialog, int id);                 // TBM_GETPOS

// True when control is the window of control id of dialog (GetDlgItem(dialog, id) == control),
// for the lParam of WM_HSCROLL and WM_CTLCOLORSTATIC.
bool PlatformIsDlgItem(WindowHandle dialog, int id, LParam control);

// Answer to WM_CTLCOLORSTATIC for a link: sets the text colour of deviceContext
// (the message's wParam) to textColour (0x00BBGGRR, a COLORREF) and its
// background colour to the button-face system colour, and returns the
// button-face system brush, which the procedure returns as the message's result.
MessageResult PlatformColorStaticOnButtonFace(WParam deviceContext, uint32_t textColour);

// Hands target (a web address or a "mailto:" link) to the desktop's default
// handler: ShellExecuteA with "open" on Win32, xdg-open on Linux. Returns at
// once; a target that nothing can open fails silently.
void PlatformOpenLink(const char* target);

// Ends the modal dialog: PlatformDialogBox returns result once the procedure
// has returned from the message being handled (EndDialog).
void PlatformEndDialog(WindowHandle dialog, int result);

// The dialog procedures reach the controls through this table rather than the
// functions above directly, so that logic tests can put a recording double in
// its place. It holds the platform's functions unless a test swaps it.
struct DialogControlsSeam {
    void (*initCommonControls)();
    void (*setDlgItemText)(WindowHandle, int, const char*);
    int (*getDlgItemText)(WindowHandle, int, char*, int);
    void (*setStaticText)(WindowHandle, int, const char*);
    void (*checkDlgButton)(WindowHandle, int, bool);
    void (*checkRadioButton)(WindowHandle, int, int, int);
    void (*trackbarSetRange)(WindowHandle, int, int, int, bool);
    void (*trackbarSetPos)(WindowHandle, int, int, bool);
    void (*trackbarSetLineSize)(WindowHandle, int, int);
    void (*trackbarSetPageSize)(WindowHandle, int, int);
    int (*trackbarGetPos)(WindowHandle, int);
    bool (*isDlgItem)(WindowHandle, int, LParam);
    MessageResult (*colorStaticOnButtonFace)(WParam, uint32_t);
    void (*openLink)(const char*);
    void (*endDialog)(WindowHandle, int);
    int (*dialogBox)(int, WindowHandle, WindowProcedure);
};

inline constexpr DialogControlsSeam kPlatformDialogControls = {
    PlatformInitCommonControls,
    PlatformSetDlgItemText,
    PlatformGetDlgItemText,
    PlatformSetStaticText,
    PlatformCheckDlgButton,
    PlatformCheckRadioButton,
    PlatformTrackbarSetRange,
    PlatformTrackbarSetPos,
    PlatformTrackbarSetLineSize,
    PlatformTrackbarSetPageSize,
    PlatformTrackbarGetPos,
    PlatformIsDlgItem,
    PlatformColorStaticOnButtonFace,
    PlatformOpenLink,
    PlatformEndDialog,
    PlatformDialogBox,
};

inline DialogControlsSeam dialogControls = kPlatformDialogControls;
