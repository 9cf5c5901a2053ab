// Dialog boxes under Wine from the program's own resources (linked in here
// too): the compiled templates against their tables, the dialog seam on the
// real controls, and the configuration dialog driven as a user would.
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/about_box.h"
#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "config/persistence.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/settings_store.h"

namespace {

TEST(Win32Dialogs, CompiledTemplatesMatchTheirTablesControlByControl)
{
    HMODULE module = GetModuleHandleA(nullptr);
    for (const DialogTemplate* expected : {&kConfigureDialogTemplate, &kAboutDialogTemplate}) {
        SCOPED_TRACE(expected->title);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(expected->id), RT_DIALOG);
        ASSERT_NE(found, nullptr);
        // A classic DLGTEMPLATE in 16-bit words; controls start on four-byte bounds.
        auto at = static_cast<const uint16_t*>(LockResource(LoadResource(module, found)));
        const auto word = [&] { return *at++; };
        const auto dword = [&] { return word() | static_cast<uint32_t>(word()) << 16; };
        const auto coordinate = [&] { return static_cast<int16_t>(word()); };
        const auto text = [&] { // a string, or an ordinal naming a predefined class
            static const char* const kClasses[] = {"Button", "Edit", "Static", "ListBox"};
            std::string result;
            for (uint16_t c = word(); c; c = word()) {
                if (c == 0xFFFF && result.empty())
                    return std::string(word() - 0x80u < 4 ? kClasses[at[-1] - 0x80] : "?");
                result += static_cast<char>(c);
            }
            return result;
        };
        const uint32_t style = dword();
        EXPECT_EQ(style, expected->style);
        EXPECT_EQ(dword(), 0u) << "extended style";
        const int count = word();
        EXPECT_EQ(dword(), 0u) << "position";
        EXPECT_EQ(coordinate(), expected->width);
        EXPECT_EQ(coordinate(), expected->height);
        EXPECT_EQ(text(), "") << "menu";
        EXPECT_EQ(text(), "") << "class";
        EXPECT_EQ(text(), expected->title);
        ASSERT_TRUE(style & DS_SETFONT);
        EXPECT_EQ(word(), expected->fontPoints);
        EXPECT_EQ(text(), expected->fontName);
        ASSERT_EQ(count, expected->controlCount);
        for (int i = 0; i < count; ++i) {
            const ControlTemplate& control = expected->controls[i];
            SCOPED_TRACE("control #" + std::to_string(i) + " \"" + control.caption + "\"");
            at += reinterpret_cast<uintptr_t>(at) % 4 / 2;
            EXPECT_EQ(dword(), WS_CHILD | WS_VISIBLE | control.style);
            EXPECT_EQ(dword(), 0u) << "extended style";
            EXPECT_EQ(coordinate(), control.x);
            EXPECT_EQ(coordinate(), control.y);
            EXPECT_EQ(coordinate(), control.width);
            EXPECT_EQ(coordinate(), control.height);
            EXPECT_EQ(coordinate(), control.id);
            EXPECT_STRCASEEQ(text().c_str(), ControlClassName(control.kind));
            EXPECT_EQ(text(), control.caption);
            at += word() / 2; // creation data
        }
    }
    char name[64] = {};
    EXPECT_EQ(LoadStringA(module, 1, name, sizeof(name)), 11);
    EXPECT_STREQ(name, "Brittleview");
}

std::string Text(HWND dialog, int id)
{
    char buffer[64] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
    return buffer;
}

std::map<int, int> commands; // notification code -> WM_COMMANDs received

MessageResult ExerciseProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam)
{
    if (message == WM_COMMAND)
        ++commands[HIWORD(wParam)];
    if (message != WM_INITDIALOG)
        return message == WM_COMMAND;
    kWin32Platform.initCommonControls();
    HWND hwnd = reinterpret_cast<HWND>(dialog);
    kWin32Platform.setDlgItemText(dialog, 1039, "1234567890123");
    EXPECT_GT(commands[EN_CHANGE], 0) << "setting an edit's text notifies its dialog";
    char buffer[10];
    EXPECT_EQ(kWin32Platform.getDlgItemText(dialog, 1039, buffer, sizeof(buffer)), 9);
    EXPECT_STREQ(buffer, "123456789");
    EXPECT_EQ(kWin32Platform.getDlgItemText(dialog, 4242, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "") << "a missing control reads as empty";

    commands.clear();
    kWin32Platform.setStaticText(dialog, 1028, "2");
    kWin32Platform.checkDlgButton(dialog, 1029, true);
    EXPECT_EQ(IsDlgButtonChecked(hwnd, 1029), 1u);
    kWin32Platform.checkRadioButton(dialog, 1049, 1054, 1052);
    kWin32Platform.checkRadioButton(dialog, 1049, 1054, 1050);
    for (int id : {1049, 1050, 1051, 1052, 1054})
        EXPECT_EQ(IsDlgButtonChecked(hwnd, id), id == 1050 ? 1u : 0u) << id;
    EXPECT_TRUE(commands.empty()) << "statics and buttons change without notifying";

    HWND trackbar = GetDlgItem(hwnd, 1015);
    kWin32Platform.trackbarSetRange(dialog, 1015, 0, 2, false);
    kWin32Platform.trackbarSetPos(dialog, 1015, 1, true);
    kWin32Platform.trackbarSetLineSize(dialog, 1015, 3);
    kWin32Platform.trackbarSetPageSize(dialog, 1015, 4);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), 2);
    EXPECT_EQ(kWin32Platform.trackbarGetPos(dialog, 1015), 1);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETLINESIZE, 0, 0), 3);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPAGESIZE, 0, 0), 4);
    EXPECT_TRUE(kWin32Platform.isDlgItem(dialog, 1015, reinterpret_cast<LParam>(trackbar)));
    EXPECT_FALSE(kWin32Platform.isDlgItem(dialog, 1028, reinterpret_cast<LParam>(trackbar)));
    EXPECT_FALSE(kWin32Platform.isDlgItem(dialog, 4242, 0));

    HDC dc = GetDC(hwnd);
    const MessageResult brush =
        kWin32Platform.colorStaticOnButtonFace(reinterpret_cast<WParam>(dc), kAboutLinkColour);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255)) << "a link is blue on the button face";
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(brush, reinterpret_cast<MessageResult>(GetSysColorBrush(COLOR_BTNFACE)));
    ReleaseDC(hwnd, dc);
    kWin32Platform.endDialog(dialog, 7);
    return TRUE;
}

TEST(Win32Dialogs, ControlPrimitivesWorkOnTheRealControls)
{
    EXPECT_EQ(kWin32Platform.dialogBox(&kConfigureDialogTemplate, 0, ExerciseProc), 7);
    DialogTemplate missing = kConfigureDialogTemplate;
    missing.id = 9999;
    EXPECT_EQ(kWin32Platform.dialogBox(&missing, 0, ExerciseProc), -1) << "no such resource";
}

// The configuration dialog and its About box, driven from a thread timer.
int step = 0, ticks = 0;
std::string seen;

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR timer, DWORD)
{
    const auto dialogClass = reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32770));
    HWND config = FindWindowA(dialogClass, "Brittleview Configuration");
    HWND about = FindWindowA(dialogClass, "About Brittleview");
    if (++ticks > 400) {     // never leave a dialog hanging on a failure
        EndDialog(about, 2); // either may be null: then nothing happens
        EndDialog(config, 99);
        KillTimer(nullptr, timer);
    } else if (step == 0 && config) { // the defaults; then drag the thumb, type, open About
        for (int id : {1039, 1040, 1071, 1042, 1045, 1047, 1031, 1030, 1028})
            seen += Text(config, id) + " ";
        seen += std::to_string(SendMessageA(GetDlgItem(config, 1015), TBM_GETPOS, 0, 0)) + " ";
        for (int id : {1060, 1050, 1057, 1080, 1029})
            seen += IsDlgButtonChecked(config, id) ? "on " : "off ";
        SendMessageA(GetDlgItem(config, 1015), TBM_SETPOS, TRUE, 0);
        SendMessageA(config, WM_HSCROLL, TB_THUMBPOSITION,
                     reinterpret_cast<LPARAM>(GetDlgItem(config, 1015)));
        SetDlgItemTextA(config, 1039, "30");
        PostMessageA(GetDlgItem(config, kAboutButtonId), BM_CLICK, 0, 0);
        step = 1;
    } else if (step == 1 && about) {
        seen += Text(about, kAboutMailLinkId) + " ";
        PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        step = 2;
    } else if (step == 2 && config && !about) { // the label follows the thumb; OK
        seen += Text(config, 1028);
        PostMessageA(GetDlgItem(config, IDOK), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        step = 3;
    }
}

TEST(Win32Dialogs, ConfigurationShowsDefaultsOpensAboutAndSavesOnOk)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    SetTimer(nullptr, 0, 25, DriveDialogs);
    EXPECT_EQ(kWin32Platform.dialogBox(&kConfigureDialogTemplate, 0, ConfigureDialogProc), 1);
    EXPECT_EQ(seen,
              "25 19 2 10 0 60 10 30 2 2 on on on on off " + std::string(kAboutMailLink) + " 0");

    SetDefaultSettings();
    LoadSettings();
    EXPECT_EQ(Settings.Priority, 0) << "OK saves the thumb's position";
    EXPECT_EQ(Settings.x_div, 30.0f) << "and the typed text";
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
