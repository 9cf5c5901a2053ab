// Dialog boxes under Wine, built from the program's own resources: the
// control primitives of the dialog seam on the real controls, nested dialogs,
// and the configuration dialog and About box driven as a user would.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/about_box.h"
#include "config/configure_dialog.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/settings_store.h"
#include "unit/win32/win32_test_support.h"

namespace {

HWND Item(WindowHandle dialog, int id)
{
    return GetDlgItem(reinterpret_cast<HWND>(dialog), id);
}

std::string Text(WindowHandle dialog, int id)
{
    char buffer[64] = {};
    GetDlgItemTextA(reinterpret_cast<HWND>(dialog), id, buffer, sizeof(buffer));
    return buffer;
}

bool Checked(WindowHandle dialog, int id)
{
    return IsDlgButtonChecked(reinterpret_cast<HWND>(dialog), id) == BST_CHECKED;
}

// --- the control primitives, exercised from inside a dialog procedure ---

std::vector<std::pair<int, int>> commands; // (control id, notification code)
int nestedResult = 0;
bool outerSawMessageAfterNested = false;

MessageResult InnerProc(WindowHandle dialog, uint32_t message, WParam, LParam)
{
    if (message == WM_INITDIALOG) {
        PlatformEndDialog(dialog, 3);
        return TRUE;
    }
    return FALSE;
}

void ExerciseControls(WindowHandle dialog)
{
    PlatformInitCommonControls();

    // Edits report a change when their text is set, and the text is kept as given.
    commands.clear();
    PlatformSetDlgItemText(dialog, 1039, "25");
    bool changed = false; // an edit sends EN_UPDATE too
    for (const auto& command : commands) {
        EXPECT_EQ(command.first, 1039);
        changed = changed || command.second == EN_CHANGE;
    }
    EXPECT_TRUE(changed);
    PlatformSetDlgItemText(dialog, 1039, "abc");
    EXPECT_EQ(Text(dialog, 1039), "abc");
    PlatformSetDlgItemText(dialog, 1039, "1234567890123");
    char buffer[10];
    EXPECT_EQ(PlatformGetDlgItemText(dialog, 1039, buffer, sizeof(buffer)), 9);
    EXPECT_STREQ(buffer, "123456789");
    EXPECT_EQ(PlatformGetDlgItemText(dialog, 4242, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "") << "a missing control reads as empty";

    // Statics, check boxes and radio buttons change without notifying.
    commands.clear();
    PlatformSetStaticText(dialog, 1028, "2");
    EXPECT_EQ(Text(dialog, 1028), "2");
    PlatformCheckDlgButton(dialog, 1029, true);
    EXPECT_TRUE(Checked(dialog, 1029));
    PlatformCheckDlgButton(dialog, 1029, false);
    EXPECT_FALSE(Checked(dialog, 1029));
    PlatformCheckRadioButton(dialog, 1049, 1054, 1052);
    PlatformCheckRadioButton(dialog, 1049, 1054, 1050); // the range has no 1053
    EXPECT_TRUE(Checked(dialog, 1050));
    for (int id : {1049, 1051, 1052, 1054})
        EXPECT_FALSE(Checked(dialog, id)) << id;
    PlatformCheckRadioButton(dialog, 1060, 1063, 1064); // outside the range: all cleared
    PlatformCheckRadioButton(dialog, 1060, 1063, 1061);
    EXPECT_TRUE(Checked(dialog, 1061));
    EXPECT_TRUE(commands.empty());

    // The trackbar: range, position (kept inside the range), steps.
    PlatformTrackbarSetRange(dialog, 1015, 0, 2, false);
    PlatformTrackbarSetPos(dialog, 1015, 1, true);
    EXPECT_EQ(PlatformTrackbarGetPos(dialog, 1015), 1);
    PlatformTrackbarSetPos(dialog, 1015, 9, true);
    EXPECT_EQ(PlatformTrackbarGetPos(dialog, 1015), 2);
    PlatformTrackbarSetLineSize(dialog, 1015, 1);
    PlatformTrackbarSetPageSize(dialog, 1015, 1);
    EXPECT_EQ(SendMessageA(Item(dialog, 1015), TBM_GETLINESIZE, 0, 0), 1);
    EXPECT_EQ(SendMessageA(Item(dialog, 1015), TBM_GETPAGESIZE, 0, 0), 1);
    EXPECT_EQ(SendMessageA(Item(dialog, 1015), TBM_GETRANGEMAX, 0, 0), 2);

    const LParam trackbar = reinterpret_cast<LParam>(Item(dialog, 1015));
    EXPECT_TRUE(PlatformIsDlgItem(dialog, 1015, trackbar));
    EXPECT_FALSE(PlatformIsDlgItem(dialog, 1028, trackbar));
    EXPECT_FALSE(PlatformIsDlgItem(dialog, 4242, 0));

    // A link's colours: blue text on the button face, and the face's brush.
    HDC dc = GetDC(reinterpret_cast<HWND>(dialog));
    MessageResult brush =
        PlatformColorStaticOnButtonFace(reinterpret_cast<WParam>(dc), 0x00FF0000u);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(brush, reinterpret_cast<MessageResult>(GetSysColorBrush(COLOR_BTNFACE)));
    ReleaseDC(reinterpret_cast<HWND>(dialog), dc);

    // A dialog opened from this one runs its own procedure and returns its result.
    nestedResult = PlatformDialogBox(103, dialog, InnerProc);
    outerSawMessageAfterNested = false;
    SendMessageA(reinterpret_cast<HWND>(dialog), WM_USER + 7, 0, 0);
}

MessageResult ExerciseProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ExerciseControls(dialog);
        PlatformEndDialog(dialog, 7);
        return TRUE;
    case WM_COMMAND:
        commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_USER + 7:
        outerSawMessageAfterNested = true;
        return TRUE;
    }
    return FALSE;
}

TEST(Win32Dialogs, ControlPrimitivesWorkOnTheRealControls)
{
    REQUIRE_DESKTOP();
    EXPECT_EQ(PlatformDialogBox(2003, 0, ExerciseProc), 7);
    EXPECT_EQ(nestedResult, 3);
    EXPECT_TRUE(outerSawMessageAfterNested) << "the outer dialog keeps its own procedure";
    EXPECT_EQ(PlatformDialogBox(9999, 0, ExerciseProc), -1) << "no such template";
}

// --- the configuration dialog and the About box, driven from a thread timer ---

struct Drive {
    int step = 0;
    int ticks = 0;
    std::vector<std::string> seen;
};
Drive drive;

HWND FindDialog(const char* title)
{
    return FindWindowA(reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32770)), title);
}

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND config = FindDialog("Brittleview Configuration");
    HWND about = FindDialog("About Brittleview");
    const WindowHandle dialog = reinterpret_cast<WindowHandle>(config);
    if (++drive.ticks > 400) { // never leave a dialog hanging on a failure
        if (about)
            EndDialog(about, 2);
        if (config)
            EndDialog(config, 99);
        KillTimer(nullptr, timer);
        return;
    }
    switch (drive.step) {
    case 0: // the dialog shows the defaults
        if (!config)
            return;
        drive.seen = {Text(dialog, 1039),
                      Text(dialog, 1040),
                      Text(dialog, 1071),
                      Text(dialog, 1042),
                      Text(dialog, 1045),
                      Text(dialog, 1047),
                      Text(dialog, 1031),
                      Text(dialog, 1030),
                      Text(dialog, 1028),
                      std::to_string(SendMessageA(Item(dialog, 1015), TBM_GETPOS, 0, 0)),
                      Checked(dialog, 1060) ? "explode" : "-",
                      Checked(dialog, 1050) ? "w512" : "-",
                      Checked(dialog, 1057) ? "h256" : "-",
                      Checked(dialog, 1080) ? "smooth" : "-",
                      Checked(dialog, 1029) ? "trails" : "-"};
        // The user drags the thumb to 0, types 30 into "X Divisions", opens About.
        SendMessageA(Item(dialog, 1015), TBM_SETPOS, TRUE, 0);
        SendMessageA(config, WM_HSCROLL, TB_THUMBPOSITION,
                     reinterpret_cast<LPARAM>(Item(dialog, 1015)));
        SetDlgItemTextA(config, 1039, "30");
        PostMessageA(Item(dialog, 1016), BM_CLICK, 0, 0);
        drive.step = 1;
        return;
    case 1: { // the About box: links blue on the button face, other statics default
        if (!about)
            return;
        HDC dc = GetDC(about);
        LRESULT link = SendMessageA(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(GetDlgItem(about, kAboutWebLinkId)));
        drive.seen.push_back(link == reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)) &&
                                     GetTextColor(dc) == RGB(0, 0, 255)
                                 ? "blue link"
                                 : "plain link");
        char text[128] = {};
        GetDlgItemTextA(about, kAboutMailLinkId, text, sizeof(text));
        drive.seen.push_back(text);
        ReleaseDC(about, dc);
        PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        drive.step = 2;
        return;
    }
    case 2: // back in the configuration dialog: the label follows the thumb; OK
        if (about || !config)
            return;
        drive.seen.push_back(Text(dialog, 1028));
        PostMessageA(Item(dialog, IDOK), BM_CLICK, 0, 0);
        drive.step = 3;
        KillTimer(nullptr, timer);
        return;
    }
}

TEST(Win32Dialogs, ConfigurationShowsDefaultsOpensAboutAndSavesOnOk)
{
    REQUIRE_DESKTOP();
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    drive = Drive{};
    SetTimer(nullptr, 0, 25, DriveDialogs);
    EXPECT_EQ(PlatformDialogBox(kConfigureDialogId, 0, ConfigureDialogProc), 1);
    const std::vector<std::string> expected = {
        "25", "19",      "2",    "10",   "0",      "60", "10",        "30",           "2",
        "2",  "explode", "w512", "h256", "smooth", "-",  "blue link", kAboutMailLink, "0"};
    EXPECT_EQ(drive.seen, expected);

    SettingsStore* store = StoreOpenForRead(SettingsKeyPath);
    ASSERT_NE(store, nullptr) << "OK saves the settings";
    uint32_t value = 99;
    EXPECT_TRUE(StoreQueryValue(store, "Priority", &value));
    EXPECT_EQ(value, 0u) << "the thumb's position is stored on OK";
    EXPECT_TRUE(StoreQueryValue(store, "x_div", &value));
    EXPECT_EQ(value, 30u) << "typed text is stored";
    StoreClose(store);
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
