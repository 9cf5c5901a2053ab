#include "platform/dialog_templates.h"

const ControlTemplate* FindControlTemplate(const DialogTemplate& dialog, int controlId)
{
    if (controlId == kNoControlId)
        return nullptr;
    for (int i = 0; i < dialog.controlCount; ++i) {
        if (dialog.controls[i].id == controlId)
            return &dialog.controls[i];
    }
    return nullptr;
}

const char* ControlClassName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::GroupBox:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return "BUTTON";
    case ControlKind::Edit:
        return "EDIT";
    case ControlKind::Static:
        return "STATIC";
    case ControlKind::Trackbar:
        return "msctls_trackbar32";
    }
    return "STATIC";
}
