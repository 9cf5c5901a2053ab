// Dialog boxes under Wine from the program's own resources (linked in here
// too): their controls against the tables, and the configuration dialog driven
// on the real controls as a user would.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "config/about_box.h"
#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "config/persistence.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/settings_store.h"

namespace {

TEST(Win32Dialogs, ResourceDialogsHoldTheControlsOfTheirTables)
{
    HMODULE module = GetModuleHandleA(nullptr);
    kWin32Platform.initCommonControls();
    char text[128];
    for (const DialogTemplate* expected : {&kConfigureDialogTemplate, &kAboutDialogTemplate}) {
        SCOPED_TRACE(expected->title);
        HWND dialog =
            CreateDialogParamA(module, MAKEINTRESOURCEA(expected->id), nullptr, nullptr, 0);
        ASSERT_NE(dialog, nullptr);
        GetWindowTextA(dialog, text, sizeof(text));
        EXPECT_STREQ(text, expected->title);
        for (int i = 0; i < expected->controlCount; ++i) {
            const ControlTemplate& control = expected->controls[i];
            if (control.id == kNoControlId)
                continue;
            HWND item = GetDlgItem(dialog, control.id);
            ASSERT_NE(item, nullptr) << control.id;
            GetClassNameA(item, text, sizeof(text));
            EXPECT_STRCASEEQ(text, ControlClassName(control.kind)) << control.id;
            GetWindowTextA(item, text, sizeof(text));
            EXPECT_STREQ(text, control.caption) << control.id;
            const uint32_t style = control.style & ~uint32_t{WS_BORDER}; // edits drop it
            EXPECT_EQ(GetWindowLongA(item, GWL_STYLE) & style, style) << control.id;
        }
        DestroyWindow(dialog);
    }
    EXPECT_EQ(LoadStringA(module, 1, text, sizeof(text)), 11);
    EXPECT_STREQ(text, "Brittleview");
}

std::string Text(HWND dialog, int id)
{
    char buffer[64] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
    return buffer;
}

// The configuration dialog, driven from a thread timer.
int step = 0, ticks = 0;
std::string seen;

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR timer, DWORD)
{
    const auto dialogClass = reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32770));
    HWND config = FindWindowA(dialogClass, "Brittleview Configuration");
    if (++ticks > 400) { // never leave the dialog hanging on a failure
        EndDialog(config, 99);
        KillTimer(nullptr, timer);
    } else if (step == 0 && config) { // the defaults; then drag the thumb and type
        for (int id : {1039, 1040, 1071, 1042, 1045, 1047, 1031, 1030, 1028})
            seen += Text(config, id) + " ";
        seen += std::to_string(SendMessageA(GetDlgItem(config, 1015), TBM_GETPOS, 0, 0)) + " ";
        for (int id : {1060, 1050, 1057, 1080, 1029})
            seen += IsDlgButtonChecked(config, id) ? "on " : "off ";
        SendMessageA(GetDlgItem(config, 1015), TBM_SETPOS, TRUE, 0);
        SendMessageA(config, WM_HSCROLL, TB_THUMBPOSITION,
                     reinterpret_cast<LPARAM>(GetDlgItem(config, 1015)));
        SetDlgItemTextA(config, 1039, "30");
        step = 1;
    } else if (step == 1 && config) { // the label follows the thumb; OK
        seen += Text(config, 1028);
        PostMessageA(GetDlgItem(config, IDOK), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        step = 2;
    }
}

TEST(Win32Dialogs, ConfigurationShowsDefaultsAndSavesOnOk)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    SetTimer(nullptr, 0, 25, DriveDialogs);
    EXPECT_EQ(kWin32Platform.dialogBox(&kConfigureDialogTemplate, 0, ConfigureDialogProc), 1);
    EXPECT_EQ(seen, "25 19 2 10 0 60 10 30 2 2 on on on on off 0");

    SetDefaultSettings();
    LoadSettings();
    EXPECT_EQ(Settings.Priority, 0) << "OK saves the thumb's position";
    EXPECT_EQ(Settings.x_div, 30.0f) << "and the typed text";
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
}

} // namespace
