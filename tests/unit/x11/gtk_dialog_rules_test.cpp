// The Win32 dialog rules the GTK dialogs follow, checked without a display.
#include <gtest/gtest.h>

#include "platform/window_styles.h"
#include "platform/x11/gtk_dialog_rules.h"

TEST(GtkDialogRules, DialogUnitsFollowTheFontsBaseUnitsAndWideTextOverflowsToTheLeft)
{
    // 52 letters 322 pixels wide and 13-pixel lines: base units 6 x 13.
    const DialogUnits sans = DialogUnitsFromFont(322, 13);
    EXPECT_EQ(sans.X(242), 363);
    EXPECT_EQ(sans.Y(206), 335); // 334.75 rounds up
    const DialogUnits tiny = DialogUnitsFromFont(10, 3); // never below 4 x 8
    EXPECT_EQ(tiny.X(7), 7);
    EXPECT_EQ(tiny.Y(9), 9);
    // Centred or right-aligned text wider than its control overflows to the left.
    EXPECT_EQ(StaticOverflowShift(kSsCenter, 11), 5);
    EXPECT_EQ(StaticOverflowShift(kSsRight | kSsNotify, 11), 11);
    EXPECT_EQ(StaticOverflowShift(kSsCenter, -4), 0);
}

TEST(GtkDialogRules, TabCyclesTheStopsInTemplateOrderAndEnterPressesTheDefaultButton)
{
    const std::vector<bool> stops = {false, true, false, true};
    const struct {
        int at;
        bool forward;
        int next;
    } cases[] = {{-1, true, 1},  {1, true, 3},  {3, true, 1},  {2, true, 3},
                 {-1, false, 3}, {1, false, 3}, {3, false, 1}, {0, false, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(NextTabStop(stops, c.at, c.forward), c.next) << c.at << " " << c.forward;
    EXPECT_EQ(NextTabStop({false, true}, 1, true), 1) << "the only stop keeps the focus";
    EXPECT_EQ(NextTabStop({}, -1, false), -1);

    // Enter presses the default button unless a button has the focus.
    const ControlTemplate controls[] = {
        {1, ControlKind::PushButton, "OK", 0, 0, 10, 10, kBsPushButton},
        {7, ControlKind::PushButton, "Go", 0, 0, 10, 10, kBsDefPushButton | kWsTabStop},
        {9, ControlKind::Edit, "", 0, 0, 10, 10, kEsNumber},
    };
    const DialogTemplate dialog = {5, "t", 50, 50, 0, "f", 8, controls, 3};
    EXPECT_EQ(EnterButtonId(dialog, nullptr), 7);
    EXPECT_EQ(EnterButtonId(dialog, &controls[2]), 7);
    EXPECT_EQ(EnterButtonId(dialog, &controls[0]), 0);
    const DialogTemplate plain = {5, "t", 50, 50, 0, "f", 8, controls, 1};
    EXPECT_EQ(EnterButtonId(plain, nullptr), 1) << "IDOK without a default button";
}
