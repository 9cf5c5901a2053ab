// The rules of Win32 dialogs that the GTK dialogs reproduce, as plain
// functions over the templates: dialog units to pixels, the tab-stop cycle,
// which button Enter presses and where an overflowing static moves.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/dialog_templates.h"

// Dialog-unit scale from the dialog font, as Win32 measures its dialog base
// units: the base width is the average width of the 52 Latin letters, rounded
// half up (at least 4), the base height the line height (at least 8); a
// horizontal unit is a quarter of the base width, a vertical one an eighth of
// the base height.
struct DialogUnits {
    double x, y;
    int X(int units) const; // pixels, rounded to nearest
    int Y(int units) const;
};
DialogUnits DialogUnitsFromFont(int alphabetWidth, int lineHeight);

// The control Tab (forward) or Shift+Tab moves the focus to from control
// `at` (-1: none has it): the next tab stop in template order, wrapping
// around, `at` itself when it is the only one, -1 when there is none.
int NextTabStop(const std::vector<bool>& isTabStop, int at, bool forward);

// The id Enter sends as a click: 0 when the focused control is a push button
// (it takes Enter itself), else the last default push button of the
// template, else IDOK (1). focused may be null.
int EnterButtonId(const DialogTemplate& dialog, const ControlTemplate* focused);

// How far left a centred or right-aligned static of the given style moves
// when its text is `excess` pixels wider than its box: it overflows on both
// sides, or to the left, as Win32 draws it. 0 for left-aligned text.
int StaticOverflowShift(uint32_t style, int excess);
