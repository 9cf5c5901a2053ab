// Dialog boxes under Wine, built from the program's own resources: the
// dialog seam's primitives on the real controls, and the configuration
// dialog driven as a user would.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/about_box.h"
#include "config/configure_dialog.h"
#include "config/persistence.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/settings_store.h"

namespace {

HWND Item(WindowHandle dialog, int id)
{
    return GetDlgItem(reinterpret_cast<HWND>(dialog), id);
}
std::string Text(HWND dialog, int id)
{
    char buffer[64] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
    return buffer;
}
bool Checked(WindowHandle dialog, int id)
{
    return IsDlgButtonChecked(reinterpret_cast<HWND>(dialog), id) == BST_CHECKED;
}

std::vector<int> notifications; // EN_CHANGE and other WM_COMMAND codes, in order
int nestedResult = 0;

MessageResult InnerProc(WindowHandle dialog, uint32_t message, WParam, LParam)
{
    if (message == WM_INITDIALOG)
        PlatformEndDialog(dialog, 3);
    return message == WM_INITDIALOG;
}

void ExerciseControls(WindowHandle dialog)
{
    PlatformInitCommonControls();
    notifications.clear();
    PlatformSetDlgItemText(dialog, 1039, "1234567890123");
    EXPECT_NE(std::find(notifications.begin(), notifications.end(), EN_CHANGE), notifications.end())
        << "setting an edit's text notifies its dialog";
    char buffer[10];
    EXPECT_EQ(PlatformGetDlgItemText(dialog, 1039, buffer, sizeof(buffer)), 9);
    EXPECT_STREQ(buffer, "123456789");
    EXPECT_EQ(PlatformGetDlgItemText(dialog, 4242, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "") << "a missing control reads as empty";

    notifications.clear();
    PlatformSetStaticText(dialog, 1028, "2");
    EXPECT_EQ(Text(reinterpret_cast<HWND>(dialog), 1028), "2");
    PlatformCheckDlgButton(dialog, 1029, true);
    EXPECT_TRUE(Checked(dialog, 1029));
    PlatformCheckDlgButton(dialog, 1029, false);
    EXPECT_FALSE(Checked(dialog, 1029));
    PlatformCheckRadioButton(dialog, 1049, 1054, 1052);
    PlatformCheckRadioButton(dialog, 1049, 1054, 1050);
    for (int id : {1049, 1050, 1051, 1052, 1054})
        EXPECT_EQ(Checked(dialog, id), id == 1050) << id;
    EXPECT_TRUE(notifications.empty()) << "statics and buttons change without notifying";

    PlatformTrackbarSetRange(dialog, 1015, 0, 2, false);
    PlatformTrackbarSetPos(dialog, 1015, 1, true);
    EXPECT_EQ(PlatformTrackbarGetPos(dialog, 1015), 1);
    PlatformTrackbarSetPos(dialog, 1015, 9, true);
    EXPECT_EQ(PlatformTrackbarGetPos(dialog, 1015), 2) << "kept inside the range";
    PlatformTrackbarSetLineSize(dialog, 1015, 3);
    PlatformTrackbarSetPageSize(dialog, 1015, 4);
    EXPECT_EQ(SendMessageA(Item(dialog, 1015), TBM_GETLINESIZE, 0, 0), 3);
    EXPECT_EQ(SendMessageA(Item(dialog, 1015), TBM_GETPAGESIZE, 0, 0), 4);

    const LParam trackbar = reinterpret_cast<LParam>(Item(dialog, 1015));
    EXPECT_TRUE(PlatformIsDlgItem(dialog, 1015, trackbar));
    EXPECT_FALSE(PlatformIsDlgItem(dialog, 1028, trackbar));
    EXPECT_FALSE(PlatformIsDlgItem(dialog, 4242, 0));

    HDC dc = GetDC(reinterpret_cast<HWND>(dialog));
    const MessageResult brush =
        PlatformColorStaticOnButtonFace(reinterpret_cast<WParam>(dc), kAboutLinkColour);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255)) << "a link is blue on the button face";
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(brush, reinterpret_cast<MessageResult>(GetSysColorBrush(COLOR_BTNFACE)));
    ReleaseDC(reinterpret_cast<HWND>(dialog), dc);

    nestedResult = PlatformDialogBox(kAboutDialogId, dialog, InnerProc);
}

MessageResult ExerciseProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam)
{
    if (message == WM_INITDIALOG) {
        ExerciseControls(dialog);
        PlatformEndDialog(dialog, 7);
    } else if (message == WM_COMMAND) {
        notifications.push_back(HIWORD(wParam));
    }
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

TEST(Win32Dialogs, ControlPrimitivesWorkOnTheRealControls)
{
    EXPECT_EQ(PlatformDialogBox(kConfigureDialogId, 0, ExerciseProc), 7);
    EXPECT_EQ(nestedResult, 3) << "a nested dialog runs its own procedure";
    EXPECT_EQ(PlatformDialogBox(9999, 0, ExerciseProc), -1) << "no such template";
}

// The configuration dialog and its About box, driven from a thread timer.
int step = 0, ticks = 0;
std::vector<std::string> seen;

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR timer, DWORD)
{
    const auto dialogClass = reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32770));
    HWND config = FindWindowA(dialogClass, "Brittleview Configuration");
    HWND about = FindWindowA(dialogClass, "About Brittleview");
    const WindowHandle dialog = reinterpret_cast<WindowHandle>(config);
    if (++ticks > 400) { // never leave a dialog hanging on a failure
        if (about)
            EndDialog(about, 2);
        if (config)
            EndDialog(config, 99);
        KillTimer(nullptr, timer);
    } else if (step == 0 && config) { // the defaults; then drag the thumb, type, open About
        for (int id : {1039, 1040, 1071, 1042, 1045, 1047, 1031, 1030, 1028})
            seen.push_back(Text(config, id));
        seen.push_back(std::to_string(SendMessageA(Item(dialog, 1015), TBM_GETPOS, 0, 0)));
        for (int id : {1060, 1050, 1057, 1080, 1029})
            seen.push_back(Checked(dialog, id) ? "on" : "off");
        SendMessageA(Item(dialog, 1015), TBM_SETPOS, TRUE, 0);
        SendMessageA(config, WM_HSCROLL, TB_THUMBPOSITION,
                     reinterpret_cast<LPARAM>(Item(dialog, 1015)));
        SetDlgItemTextA(config, 1039, "30");
        PostMessageA(Item(dialog, kAboutButtonId), BM_CLICK, 0, 0);
        step = 1;
    } else if (step == 1 && about) {
        seen.push_back(Text(about, kAboutMailLinkId));
        PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        step = 2;
    } else if (step == 2 && config && !about) { // the label follows the thumb; OK
        seen.push_back(Text(config, 1028));
        PostMessageA(Item(dialog, IDOK), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        step = 3;
    }
}

TEST(Win32Dialogs, ConfigurationShowsDefaultsOpensAboutAndSavesOnOk)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    SetTimer(nullptr, 0, 25, DriveDialogs);
    EXPECT_EQ(PlatformDialogBox(kConfigureDialogId, 0, ConfigureDialogProc), 1);
    const std::vector<std::string> expected = {
        "25", "19", "2",  "10", "0",  "60",  "10",           "30", "2",
        "2",  "on", "on", "on", "on", "off", kAboutMailLink, "0"};
    EXPECT_EQ(seen, expected);

    SetDefaultSettings();
    LoadSettings();
    EXPECT_EQ(Settings.Priority, 0) << "OK saves the thumb's position";
    EXPECT_EQ(Settings.x_div, 30.0f) << "and the typed text";
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
