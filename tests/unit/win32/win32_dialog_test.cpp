// Dialog boxes under Wine from the program's own resources (linked in here
// too): the compiled templates against their tables, and the configuration
// dialog driven on the real controls as a user would.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <tuple>

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
        // Style, extended style, count, position, size, menu, class, title, font.
        const uint32_t style = dword(), extended = dword(), count = word(), position = dword();
        const int width = coordinate(), height = coordinate();
        const std::string menu = text(), windowClass = text(), title = text();
        EXPECT_EQ(
            std::make_tuple(style, extended, position, width, height, menu + windowClass, title),
            std::make_tuple(expected->style, 0u, 0u, int(expected->width), int(expected->height),
                            std::string(), std::string(expected->title)));
        ASSERT_TRUE(style & DS_SETFONT);
        EXPECT_EQ(word(), expected->fontPoints);
        EXPECT_EQ(text(), expected->fontName);
        ASSERT_EQ(int(count), expected->controlCount);
        for (int i = 0; i < int(count); ++i) {
            const ControlTemplate& control = expected->controls[i];
            SCOPED_TRACE("control #" + std::to_string(i) + " \"" + control.caption + "\"");
            at += reinterpret_cast<uintptr_t>(at) % 4 / 2;
            const uint32_t controlStyle = dword(), controlExtended = dword();
            const int x = coordinate(), y = coordinate(), w = coordinate(), h = coordinate(),
                      id = coordinate();
            EXPECT_EQ(std::make_tuple(controlStyle, controlExtended, x, y, w, h, id),
                      std::make_tuple(WS_CHILD | WS_VISIBLE | control.style, 0u, int(control.x),
                                      int(control.y), int(control.width), int(control.height),
                                      int(control.id)));
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
