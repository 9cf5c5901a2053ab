// The configuration dialog (template 2003): its procedure, the hook called
// before it opens, and the fill of its controls from the settings record.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

constexpr int kConfigureDialogId = 2003;
constexpr int kAboutDialogId = 103;

// Control ids that the dialog procedure works with.
constexpr int kTrackbarId = 1015;
constexpr int kPriorityLabelId = 1028;
constexpr int kAboutButtonId = 1016;
constexpr int kDefaultsButtonId = 1024;

// The "Save N" and "Recall N" buttons of the "User Presets" group, slot N at index N - 1.
constexpr int kUserPresetSlots = 4;
constexpr int kSaveUserPresetIds[kUserPresetSlots] = {1079, 1070, 1074, 1076};
constexpr int kRecallUserPresetIds[kUserPresetSlots] = {1069, 1073, 1075, 1077};

// Edits are read through a buffer of this many characters, so at most the
// first nine characters of a box count.
constexpr int kEditReadBufferSize = 10;

// Does nothing; a zero result would keep the dialog from opening.
int PrepareConfigureDialog(uintptr_t instance);
MessageResult ConfigureDialogProc(WindowHandle dialog, uint32_t message, WParam wParam,
                                  LParam lParam);
// Sets every control from Settings and the wave centre. Setting an edit's text
// makes the edit report a change, which stores the shown number back.
void FillConfigDialog(WindowHandle dialog);

// The number in text as atoi reads it: leading white space, an optional sign,
// then decimal digits up to the first other character; no digits gives 0.
// Saturates at the int range instead of overflowing.
int ParseDialogNumber(const char* text);
// Writes value in decimal ("%d" for any 64-bit value) into out, which needs
// room for 21 characters; returns out.
char* FormatDialogNumber(int64_t value, char* out);
// A float field as the dialog shows it: truncated toward zero; NaN shows as 0
// and values beyond the 64-bit range are held at its ends.
int64_t TruncateForDialog(float value);
