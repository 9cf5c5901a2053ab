#include "config/dialog_templates.h"

#include "config/about_box.h"

namespace {

constexpr ControlKind kButton = ControlKind::PushButton;
constexpr ControlKind kGroup = ControlKind::GroupBox;
constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kRadio = ControlKind::RadioButton;
constexpr ControlKind kEdit = ControlKind::Edit;
constexpr ControlKind kStatic = ControlKind::Static;

constexpr uint32_t kPush = kBsPushButton | kWsTabStop;
constexpr uint32_t kDefPush = kBsDefPushButton | kWsTabStop;
constexpr uint32_t kGroupBoxStyle = kBsGroupBox;
constexpr uint32_t kCheckStyle = kBsAutoCheckBox | kWsTabStop;
constexpr uint32_t kRadioStyle = kBsRadioButton;
constexpr uint32_t kNumberEdit = kEsLeft | kEsNumber | kWsBorder | kWsTabStop;
constexpr uint32_t kLabel = kSsLeft | kWsGroup;
constexpr int kNone = kNoControlId;

// Template order is tab order: the tab stops run 1, 2, 1016, 1015, 1024, 1029,
// 1030 to 1040 (each movement row's "Time" box before its "Amplitude" box),
// 1042 to 1048, 1041, 1025, 1026, 1064 to 1068, 1071, 1072, 1069, 1070,
// 1073 to 1077, 1079, 1080. Group boxes, labels and radio buttons (no tab
// stops) sit next to the controls they belong to.
const ControlTemplate kConfigureControls[] = {
    {1, kButton, "OK", 305, 260, 50, 14, kDefPush},
    {2, kButton, "Cancel", 207, 260, 50, 14, kPush},
    {1016, kButton, "About", 109, 260, 50, 14, kPush},
    {kNone, kStatic, "Thread priority", 240, 190, 25, 20, kLabel},
    {1015, ControlKind::Trackbar, "", 270, 190, 90, 15,
     kTbsHorz | kTbsBoth | kTbsNoTicks | kWsTabStop},
    {1028, kStatic, "#", 280, 205, 19, 8, kSsRight},
    {1024, kButton, "Defaults", 11, 260, 50, 14, kPush},

    {kNone, kGroup, "Explode Options", 5, 205, 75, 45, kGroupBoxStyle},
    {1029, kCheck, "Enable Trails", 15, 220, 60, 8, kCheckStyle},

    {kNone, kGroup, "Movement Options", 90, 150, 140, 100, kGroupBoxStyle},
    {kNone, kStatic, "Amplitude", 140, 180, 40, 10, kLabel},
    {kNone, kStatic, "Time", 185, 180, 40, 10, kLabel},
    {kNone, kStatic, "RotationX", 95, 191, 40, 8, kLabel},
    {1030, kEdit, "", 185, 191, 40, 10, kNumberEdit},
    {1031, kEdit, "", 140, 191, 40, 10, kNumberEdit},
    {kNone, kStatic, "RotationY", 95, 206, 40, 8, kLabel},
    {1032, kEdit, "", 185, 206, 40, 10, kNumberEdit},
    {1033, kEdit, "", 140, 206, 40, 10, kNumberEdit},
    {kNone, kStatic, "RotationZ", 95, 220, 40, 8, kLabel},
    {1034, kEdit, "", 185, 220, 40, 10, kNumberEdit},
    {1035, kEdit, "", 140, 220, 40, 10, kNumberEdit},
    {kNone, kStatic, "Zoom", 95, 235, 40, 8, kLabel},
    {1036, kEdit, "", 185, 235, 40, 10, kNumberEdit},
    {1037, kEdit, "", 140, 235, 40, 10, kNumberEdit},
    {1038, kCheck, "Enable Movement", 100, 166, 80, 10, kCheckStyle},

    {kNone, kGroup, "General Options", 5, 150, 75, 45, kGroupBoxStyle},
    {kNone, kStatic, "X Divisions", 10, 166, 40, 8, kLabel},
    {1039, kEdit, "", 50, 166, 25, 10, kNumberEdit},
    {kNone, kStatic, "Y Divisions", 10, 180, 40, 8, kLabel},
    {1040, kEdit, "", 50, 180, 25, 10, kNumberEdit},

    {kNone, kGroup, "Wave Options", 150, 5, 80, 140, kGroupBoxStyle},
    {kNone, kStatic, "Amplitude", 160, 20, 40, 8, kLabel},
    {1042, kEdit, "", 200, 20, 25, 10, kNumberEdit},
    {kNone, kStatic, "Freq1", 160, 35, 40, 8, kLabel},
    {1043, kEdit, "", 200, 35, 25, 10, kNumberEdit},
    {kNone, kStatic, "Freq2", 160, 50, 40, 8, kLabel},
    {1044, kEdit, "", 200, 50, 25, 10, kNumberEdit},
    {kNone, kStatic, "OffsetX", 160, 65, 40, 8, kLabel},
    {1045, kEdit, "", 200, 65, 25, 10, kNumberEdit},
    {kNone, kStatic, "OffsetY", 160, 80, 40, 8, kLabel},
    {1046, kEdit, "", 200, 80, 25, 10, kNumberEdit},
    {kNone, kStatic, "SizeX", 160, 95, 40, 8, kLabel},
    {1047, kEdit, "", 200, 95, 25, 10, kNumberEdit},
    {kNone, kStatic, "SizeY", 160, 110, 40, 8, kLabel},
    {1048, kEdit, "", 200, 110, 25, 10, kNumberEdit},

    {kNone, kGroup, "Texturing Options", 5, 45, 135, 100, kGroupBoxStyle},
    {1041, kCheck, "Linear Filtering", 15, 60, 65, 10, kCheckStyle},
    {kNone, kGroup, "Width", 10, 74, 60, 65, kGroupBoxStyle},
    {1049, kRadio, "128", 15, 85, 45, 10, kRadioStyle},
    {1051, kRadio, "256", 15, 95, 45, 10, kRadioStyle},
    {1050, kRadio, "512", 15, 105, 45, 10, kRadioStyle},
    {1052, kRadio, "1024", 15, 115, 45, 10, kRadioStyle},
    {1054, kRadio, "2048", 15, 125, 45, 10, kRadioStyle},
    {kNone, kGroup, "Height", 75, 74, 60, 65, kGroupBoxStyle},
    {1055, kRadio, "128", 81, 84, 45, 10, kRadioStyle},
    {1057, kRadio, "256", 81, 94, 45, 10, kRadioStyle},
    {1056, kRadio, "512", 81, 104, 45, 10, kRadioStyle},
    {1058, kRadio, "1024", 81, 114, 45, 10, kRadioStyle},
    {1059, kRadio, "2048", 81, 124, 45, 10, kRadioStyle},

    {kNone, kGroup, "View Mode", 5, 5, 135, 35, kGroupBoxStyle},
    {1060, kRadio, "Explode", 10, 15, 45, 10, kRadioStyle},
    {1061, kRadio, "Wave1", 10, 25, 45, 10, kRadioStyle},
    {1062, kRadio, "Wave2", 55, 15, 45, 10, kRadioStyle},
    {1063, kRadio, "Wave3", 55, 25, 45, 10, kRadioStyle},

    {kNone, kGroup, "Presets", 240, 5, 55, 175, kGroupBoxStyle},
    {1025, kButton, "Explode1", 245, 20, 45, 14, kPush},
    {1026, kButton, "Explode2", 245, 40, 45, 14, kPush},
    {1064, kButton, "Explode4", 245, 80, 45, 14, kPush},
    {1065, kButton, "Wave1", 245, 100, 45, 14, kPush},
    {1066, kButton, "Wave2", 245, 120, 45, 14, kPush},
    {1067, kButton, "Wave3", 245, 140, 45, 14, kPush},
    {1068, kButton, "Wave4", 245, 160, 45, 14, kPush},
    {kNone, kStatic, "Children", 15, 235, 30, 8, kLabel},
    {1071, kEdit, "", 45, 235, 25, 10, kNumberEdit},
    {1072, kButton, "Explode3", 245, 60, 45, 14, kPush},

    {kNone, kGroup, "User Presets", 305, 5, 55, 175, kGroupBoxStyle},
    {1069, kButton, "Recall 1", 310, 40, 45, 14, kPush},
    {1070, kButton, "Save 2", 310, 60, 45, 14, kPush},
    {1073, kButton, "Recall 2", 310, 80, 45, 14, kPush},
    {1074, kButton, "Save 3", 310, 100, 45, 14, kPush},
    {1075, kButton, "Recall 3", 310, 120, 45, 14, kPush},
    {1076, kButton, "Save 4", 310, 140, 45, 14, kPush},
    {1077, kButton, "Recall 4", 310, 160, 45, 14, kPush},
    {1079, kButton, "Save 1", 310, 20, 45, 14, kPush},
    {1080, kCheck, "Smooth Shading", 155, 125, 70, 10, kCheckStyle},
};

const ControlTemplate kAboutControls[] = {
    {1, kButton, "OK", 95, 180, 50, 14, kDefPush},
    {kNone, kStatic, kAboutCreditText, 82, 75, 70, 10, kSsCenter},
    {kNone, kStatic, kAboutVersionText, 175, 60, 45, 8, kSsLeft},
    {kAboutMailLinkId, kStatic, kAboutMailLink, 60, 90, 120, 8, kSsCenter | kSsNotify},
    {kAboutWebLinkId, kStatic, kAboutWebLink, 20, 100, 195, 8, kSsCenter | kSsNotify},
};

constexpr uint32_t kDialogStyle = kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont;

template <int N> constexpr int CountOf(const ControlTemplate (&)[N])
{
    return N;
}

} // namespace

const DialogTemplate kConfigureDialogTemplate = {
    2003,
    "Brittleview Configuration",
    367,
    282,
    kDialogStyle,
    "MS Sans Serif",
    8,
    kConfigureControls,
    CountOf(kConfigureControls),
};

const DialogTemplate kAboutDialogTemplate = {
    103, "About Brittleview", 242,
    206, kDialogStyle,        "MS Sans Serif",
    8,   kAboutControls,      CountOf(kAboutControls),
};
