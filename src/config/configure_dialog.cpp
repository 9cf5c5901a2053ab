#include "config/configure_dialog.h"

#include <cmath>
#include <cstdint>

#include "config/about_box.h"
#include "config/dialog_templates.h"
#include "config/persistence.h"
#include "config/presets.h"
#include "core/settings.h"
#include "geometry/plane.h"
#include "platform/platform.h"
#include "platform/win_messages.h"

namespace {

// A number edit and the field it edits: a float field, or the int genChildren.
// The two wave-centre boxes edit the run-time wave centre, which this process
// never stores.
struct NumberEdit {
    int id;
    float* floatField;
    int32_t* intField;
};

// In the order in which FillConfigDialog sets them.
const NumberEdit kNumberEdits[] = {
    {1039, &Settings.x_div, nullptr},        {1040, &Settings.y_div, nullptr},
    {1071, nullptr, &Settings.genChildren},  {1042, &Settings.xyAmplitude, nullptr},
    {1043, &Settings.xyFrequency1, nullptr}, {1044, &Settings.xyFrequency2, nullptr},
    {1045, &waveCentre.x, nullptr},          {1046, &waveCentre.y, nullptr},
    {1047, &Settings.xySizeX, nullptr},      {1048, &Settings.xySizeY, nullptr},
    {1031, &Settings.rotX0, nullptr},        {1030, &Settings.rotX1, nullptr},
    {1033, &Settings.rotY0, nullptr},        {1032, &Settings.rotY1, nullptr},
    {1035, &Settings.rotZ0, nullptr},        {1034, &Settings.rotZ1, nullptr},
    {1037, &Settings.zoom0, nullptr},        {1036, &Settings.zoom1, nullptr},
};

struct CheckBox {
    int id;
    int32_t* flag;
};

// In the order in which FillConfigDialog sets them.
const CheckBox kCheckBoxes[] = {
    {1080, &Settings.xyGoraud},
    {1041, &Settings.useLinear},
    {1029, &Settings.useTrails},
    {1038, &Settings.enableMovement},
};

// A radio button group whose ids do not follow its values: each button's value
// is the one listed with it, never one worked out from the id.
struct RadioChoice {
    int id;
    int32_t value;
};

struct RadioGroup {
    int firstId, lastId;
    int32_t* field;
    RadioChoice choices[5];
};

const RadioGroup kWidthGroup = {
    1049,
    1054,
    &Settings.screenTextureWidth,
    {{1049, 128}, {1051, 256}, {1050, 512}, {1052, 1024}, {1054, 2048}},
};
const RadioGroup kHeightGroup = {
    1055,
    1059,
    &Settings.screenTextureHeight,
    {{1055, 128}, {1057, 256}, {1056, 512}, {1058, 1024}, {1059, 2048}},
};

constexpr int kFirstModeId = 1060;
constexpr int kLastModeId = 1063;

void SetEditNumber(WindowHandle dialog, int id, int64_t value)
{
    char text[24];
    platform.setDlgItemText(dialog, id, FormatDialogNumber(value, text));
}

int ReadEdit(WindowHandle dialog, int id)
{
    char text[kEditReadBufferSize] = {};
    platform.getDlgItemText(dialog, id, text, kEditReadBufferSize);
    text[kEditReadBufferSize - 1] = '\0';
    return ParseDialogNumber(text);
}

// Checks the button of the group that shows the field's value; a value that no
// button shows leaves the whole group as it is.
void ShowRadioGroup(WindowHandle dialog, const RadioGroup& group)
{
    for (const RadioChoice& choice : group.choices) {
        if (choice.value == *group.field) {
            platform.checkRadioButton(dialog, group.firstId, group.lastId, choice.id);
            return;
        }
    }
}

bool PickRadio(WindowHandle dialog, const RadioGroup& group, int id)
{
    for (const RadioChoice& choice : group.choices) {
        if (choice.id == id) {
            *group.field = choice.value;
            platform.checkRadioButton(dialog, group.firstId, group.lastId, id);
            return true;
        }
    }
    return false;
}

void ShowPriorityLabel(WindowHandle dialog, int position)
{
    char text[24];
    platform.setStaticText(dialog, kPriorityLabelId, FormatDialogNumber(position, text));
}

void OnCommand(WindowHandle dialog, int id, uint32_t code)
{
    switch (id) {
    case 1:
        // The thumb reaches the record only here, so "Cancel" never keeps a moved thumb.
        Settings.Priority = platform.trackbarGetPos(dialog, kTrackbarId);
        SaveSettings();
        platform.endDialog(dialog, 1);
        return;
    case 2:
        platform.endDialog(dialog, 2);
        return;
    case kAboutButtonId:
        platform.dialogBox(&kAboutDialogTemplate, dialog, AboutDialogProc);
        return;
    case kDefaultsButtonId:
        SetDefaultSettings();
        FillConfigDialog(dialog);
        return;
    default:
        break;
    }

    if (const Preset* preset = FindPreset(id)) {
        ApplyPreset(dialog, *preset);
        return;
    }
    for (int slot = 1; slot <= kUserPresetSlots; ++slot) {
        if (id == kSaveUserPresetIds[slot - 1]) {
            SaveUserPreset(slot);
            return;
        }
        if (id == kRecallUserPresetIds[slot - 1]) {
            // An empty slot leaves the record and the controls as they are.
            if (RecallUserPreset(slot))
                FillConfigDialog(dialog);
            return;
        }
    }
    for (const CheckBox& box : kCheckBoxes) {
        if (id == box.id) {
            // The box has changed its own state; the flag follows it from the
            // state the fill gave it. A stored 5 counts as on, so it flips to 0.
            if (code == kBnClicked)
                *box.flag = *box.flag == 0 ? 1 : 0;
            return;
        }
    }
    if (PickRadio(dialog, kWidthGroup, id) || PickRadio(dialog, kHeightGroup, id))
        return;
    if (id >= kFirstModeId && id <= kLastModeId) {
        Settings.Mode = id - kFirstModeId;
        platform.checkRadioButton(dialog, kFirstModeId, kLastModeId, id);
        return;
    }
    // Every notification of an edit reads it, so a field follows its box at each keystroke.
    for (const NumberEdit& edit : kNumberEdits) {
        if (id != edit.id)
            continue;
        const int value = ReadEdit(dialog, id);
        if (edit.floatField)
            *edit.floatField = static_cast<float>(value);
        if (edit.intField)
            *edit.intField = value;
        return;
    }
}

} // namespace

int PrepareConfigureDialog(uintptr_t)
{
    return 1;
}

int ParseDialogNumber(const char* text)
{
    if (text == nullptr)
        return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value < kLimit)
            value = value * 10 + (*p - '0');
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(value);
}

char* FormatDialogNumber(int64_t value, char* out)
{
    // Digits are produced from the negative side, which also holds INT64_MIN.
    char digits[20];
    int count = 0;
    int64_t rest = value < 0 ? value : -value;
    do {
        digits[count++] = static_cast<char>('0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    char* p = out;
    if (value < 0)
        *p++ = '-';
    while (count > 0)
        *p++ = digits[--count];
    *p = '\0';
    return out;
}

int64_t TruncateForDialog(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2233720368547758e18f)
        return INT64_MAX;
    if (value <= -9.2233720368547758e18f)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

void FillConfigDialog(WindowHandle dialog)
{
    platform.trackbarSetRange(dialog, kTrackbarId, 0, 2, false);
    platform.trackbarSetPos(dialog, kTrackbarId, Settings.Priority, true);
    platform.trackbarSetLineSize(dialog, kTrackbarId, 1);
    platform.trackbarSetPageSize(dialog, kTrackbarId, 1);
    ShowPriorityLabel(dialog, Settings.Priority);

    for (const CheckBox& box : kCheckBoxes)
        platform.checkDlgButton(dialog, box.id, *box.flag != 0);

    // A mode no button shows (a stored 4) clears all four: the id to check then
    // lies outside the range, and only ids of the range are touched.
    const int modeId = Settings.Mode >= 0 && Settings.Mode <= kLastModeId - kFirstModeId
                           ? kFirstModeId + Settings.Mode
                           : 0;
    platform.checkRadioButton(dialog, kFirstModeId, kLastModeId, modeId);
    ShowRadioGroup(dialog, kHeightGroup);
    ShowRadioGroup(dialog, kWidthGroup);

    // Each text set here is read straight back through the edit's change
    // notification, so the fields end up holding the whole numbers shown.
    for (const NumberEdit& edit : kNumberEdits) {
        SetEditNumber(dialog, edit.id,
                      edit.floatField ? TruncateForDialog(*edit.floatField) : *edit.intField);
    }
}

MessageResult ConfigureDialogProc(WindowHandle dialog, uint32_t message, WParam wParam,
                                  LParam lParam)
{
    switch (message) {
    case kWmInitDialog:
        platform.initCommonControls();
        LoadSettings();
        FillConfigDialog(dialog);
        return 1;
    case kWmHScroll:
        if (platform.isDlgItem(dialog, kTrackbarId, lParam)) {
            ShowPriorityLabel(dialog, platform.trackbarGetPos(dialog, kTrackbarId));
        }
        return 1;
    case kWmCommand:
        OnCommand(dialog, static_cast<int>(wParam & 0xFFFF),
                  static_cast<uint32_t>((wParam >> 16) & 0xFFFF));
        return 1;
    default:
        return 0;
    }
}
