// Dialog templates as plain data, the form in which the program describes its
// dialogs to the platform (config/dialog_templates.h holds the program's two).
// Sizes and positions are in dialog units; the controls are listed in
// template order, which is also the tab order. The GTK dialogs are laid out
// from these tables and the Windows resource script follows them.
#pragma once

#include <cstdint>

#include "platform/window_styles.h"

// Control id of controls that are never addressed (IDC_STATIC).
constexpr int kNoControlId = -1;

enum class ControlKind {
    PushButton,  // class "BUTTON", BS_PUSHBUTTON or BS_DEFPUSHBUTTON
    GroupBox,    // class "BUTTON", BS_GROUPBOX
    CheckBox,    // class "BUTTON", BS_AUTOCHECKBOX
    RadioButton, // class "BUTTON", BS_RADIOBUTTON (not automatic)
    Edit,        // class "EDIT"
    Static,      // class "STATIC"
    Trackbar,    // class "msctls_trackbar32"
};

struct ControlTemplate {
    int id; // kNoControlId for unaddressed labels and group boxes
    ControlKind kind;
    const char* caption; // "" when the control has none
    int x, y, width, height;
    // The control's style bits (kind-specific bits plus WS_TABSTOP, WS_GROUP,
    // WS_BORDER); every control also has WS_CHILD and WS_VISIBLE.
    uint32_t style;
};

struct DialogTemplate {
    int id;
    const char* title;
    int width, height;
    uint32_t style;
    const char* fontName;
    int fontPoints;
    const ControlTemplate* controls;
    int controlCount;
};

// The control with id controlId in dialog, or nullptr (never for kNoControlId).
const ControlTemplate* FindControlTemplate(const DialogTemplate& dialog, int controlId);
// The Win32 window class name of a control kind.
const char* ControlClassName(ControlKind kind);
