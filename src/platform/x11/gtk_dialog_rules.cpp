#include "platform/x11/gtk_dialog_rules.h"

#include <algorithm>
#include <cmath>

#include "platform/window_styles.h"

int DialogUnits::X(int units) const
{
    return static_cast<int>(std::lround(units * x));
}

int DialogUnits::Y(int units) const
{
    return static_cast<int>(std::lround(units * y));
}

DialogUnits DialogUnitsFromFont(int alphabetWidth, int lineHeight)
{
    const int baseX = std::max(4, (alphabetWidth / 26 + 1) / 2);
    const int baseY = std::max(8, lineHeight);
    return {baseX / 4.0, baseY / 8.0};
}

int NextTabStop(const std::vector<bool>& isTabStop, int at, bool forward)
{
    const int count = static_cast<int>(isTabStop.size());
    if (at < 0)
        at = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int i = ((at + (forward ? step : -step)) % count + count) % count;
        if (isTabStop[static_cast<size_t>(i)])
            return i;
    }
    return -1;
}

int EnterButtonId(const DialogTemplate& dialog, const ControlTemplate* focused)
{
    if (focused && focused->kind == ControlKind::PushButton)
        return 0;
    int id = 1;
    for (int i = 0; i < dialog.controlCount; ++i) {
        const ControlTemplate& control = dialog.controls[i];
        if (control.kind == ControlKind::PushButton && (control.style & 0xF) == kBsDefPushButton)
            id = control.id;
    }
    return id;
}

int StaticOverflowShift(uint32_t style, int excess)
{
    if (excess <= 0)
        return 0;
    switch (style & 0x3) {
    case kSsCenter:
        return excess / 2;
    case kSsRight:
        return excess;
    default:
        return 0;
    }
}
