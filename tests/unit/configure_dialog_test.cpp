#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "config/persistence.h"
#include "core/settings.h"
#include "render/scene.h"
#include "unit/dialog_controls_double.h"
#include "unit/dialog_store_sandbox.h"

namespace {

bool SameRecord(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

SettingsRecord Defaults()
{
    const SettingsRecord saved = Settings;
    SetDefaultSettings();
    const SettingsRecord defaults = Settings;
    Settings = saved;
    return defaults;
}

class ConfigureDialog : public ::testing::Test {
protected:
    ConfigureDialog() : controls(kConfigureDialogTemplate, ConfigureDialogProc)
    {
        SetDefaultSettings();
        waveCentre = {0.0f, 0.0f};
    }

    // Stores record as the saved settings, as an earlier "OK" would have.
    static void Store(const SettingsRecord& record) { WriteSettingsKey(SettingsKeyPath, record, false); }

    DialogStoreSandbox sandbox;
    DialogControlsDouble controls;
};

TEST(DialogNumbers, ReadLikeAtoiAndNeverOverflow)
{
    EXPECT_EQ(ParseDialogNumber("25"), 25);
    EXPECT_EQ(ParseDialogNumber(""), 0);
    EXPECT_EQ(ParseDialogNumber("abc"), 0);
    EXPECT_EQ(ParseDialogNumber("12abc"), 12);
    EXPECT_EQ(ParseDialogNumber(" \t\n\v\f\r+7"), 7);
    EXPECT_EQ(ParseDialogNumber("-5"), -5);
    EXPECT_EQ(ParseDialogNumber("+-3"), 0);
    EXPECT_EQ(ParseDialogNumber("- 3"), 0);
    EXPECT_EQ(ParseDialogNumber("007"), 7);
    EXPECT_EQ(ParseDialogNumber(nullptr), 0);
    EXPECT_EQ(ParseDialogNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseDialogNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseDialogNumber("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseDialogNumber("-99999999999999999999999"), INT32_MIN);
}

TEST(DialogNumbers, ShowWholeNumbersTruncatedTowardZero)
{
    char text[24];
    EXPECT_STREQ(FormatDialogNumber(0, text), "0");
    EXPECT_STREQ(FormatDialogNumber(-1, text), "-1");
    EXPECT_STREQ(FormatDialogNumber(3600, text), "3600");
    EXPECT_STREQ(FormatDialogNumber(INT64_MIN, text), "-9223372036854775808");
    EXPECT_STREQ(FormatDialogNumber(INT64_MAX, text), "9223372036854775807");
    EXPECT_EQ(TruncateForDialog(2.9f), 2);
    EXPECT_EQ(TruncateForDialog(-2.9f), -2);
    // A float field loaded from the largest stored number is beyond the int range.
    EXPECT_EQ(TruncateForDialog(4294967296.0f), 4294967296LL);
    EXPECT_EQ(TruncateForDialog(1e30f), INT64_MAX);
    EXPECT_EQ(TruncateForDialog(-1e30f), INT64_MIN);
    EXPECT_EQ(TruncateForDialog(std::nanf("")), 0);
}

TEST(ConfigureTemplate, TabStopsRunInTheirOrderAndEveryControlFits)
{
    const DialogTemplate& dialog = kConfigureDialogTemplate;
    EXPECT_EQ(dialog.id, kConfigureDialogId);
    EXPECT_STREQ(dialog.title, "Brittleview Configuration");
    EXPECT_EQ(dialog.width, 367);
    EXPECT_EQ(dialog.height, 282);
    EXPECT_EQ(dialog.style, kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont);
    EXPECT_EQ(FindDialogTemplate(2003), &kConfigureDialogTemplate);
    EXPECT_EQ(FindDialogTemplate(103), &kAboutDialogTemplate);
    EXPECT_EQ(FindDialogTemplate(2004), nullptr);

    std::vector<int> tabStops;
    std::vector<int> ids;
    for (int i = 0; i < dialog.controlCount; ++i) {
        const ControlTemplate& control = dialog.controls[i];
        if (control.style & kWsTabStop) tabStops.push_back(control.id);
        if (control.id != kNoControlId) ids.push_back(control.id);
        EXPECT_GE(control.x, 0);
        EXPECT_GE(control.y, 0);
        EXPECT_LE(control.x + control.width, dialog.width) << control.caption;
        EXPECT_LE(control.y + control.height, dialog.height) << control.caption;
    }
    const std::vector<int> expected = {1,    2,    1016, 1015, 1024, 1029, 1030, 1031, 1032, 1033, 1034,
                                       1035, 1036, 1037, 1038, 1039, 1040, 1042, 1043, 1044, 1045, 1046,
                                       1047, 1048, 1041, 1025, 1026, 1064, 1065, 1066, 1067, 1068, 1071,
                                       1072, 1069, 1070, 1073, 1074, 1075, 1076, 1077, 1079, 1080};
    EXPECT_EQ(tabStops, expected);
    std::vector<int> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "an id is used twice";
    EXPECT_EQ(FindControlTemplate(dialog, 1053), nullptr);
    EXPECT_EQ(FindControlTemplate(dialog, kNoControlId), nullptr);

    // The kinds the procedure relies on.
    auto kindOf = [&](int id) { return FindControlTemplate(dialog, id)->kind; };
    for (int id = 1030; id <= 1048; ++id) {
        if (id == 1038 || id == 1041) continue;
        EXPECT_EQ(kindOf(id), ControlKind::Edit) << id;
        EXPECT_EQ(FindControlTemplate(dialog, id)->style, kEsNumber | kWsBorder | kWsTabStop);
    }
    EXPECT_EQ(kindOf(1071), ControlKind::Edit);
    for (int id : {1029, 1038, 1041, 1080}) EXPECT_EQ(kindOf(id), ControlKind::CheckBox) << id;
    for (int id : {1049, 1050, 1051, 1052, 1054, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063}) {
        EXPECT_EQ(kindOf(id), ControlKind::RadioButton) << id;
        EXPECT_EQ(FindControlTemplate(dialog, id)->style & kWsTabStop, 0u) << id;
    }
    for (int slot = 0; slot < kUserPresetSlots; ++slot) {
        EXPECT_STREQ(FindControlTemplate(dialog, kSaveUserPresetIds[slot])->caption,
                     ("Save " + std::to_string(slot + 1)).c_str());
        EXPECT_STREQ(FindControlTemplate(dialog, kRecallUserPresetIds[slot])->caption,
                     ("Recall " + std::to_string(slot + 1)).c_str());
    }
    EXPECT_EQ(kindOf(kTrackbarId), ControlKind::Trackbar);
    EXPECT_STREQ(ControlClassName(ControlKind::Trackbar), "msctls_trackbar32");
    EXPECT_EQ(FindControlTemplate(dialog, 1)->style, kBsDefPushButton | kWsTabStop);
    EXPECT_EQ(FindControlTemplate(dialog, kPriorityLabelId)->style, kSsRight);
}

TEST_F(ConfigureDialog, OpensOnTheDefaultsWhenNothingIsStored)
{
    Settings.Mode = 3; // whatever the record held before, the dialog loads
    EXPECT_EQ(controls.Open(), 1);
    EXPECT_EQ(controls.log.front(), "init");

    EXPECT_TRUE(controls.Checked(1060)); // Explode
    for (int id : {1061, 1062, 1063}) EXPECT_FALSE(controls.Checked(id)) << id;
    EXPECT_TRUE(controls.Checked(1050)); // width 512
    for (int id : {1049, 1051, 1052, 1054}) EXPECT_FALSE(controls.Checked(id)) << id;
    EXPECT_TRUE(controls.Checked(1057)); // height 256
    for (int id : {1055, 1056, 1058, 1059}) EXPECT_FALSE(controls.Checked(id)) << id;
    EXPECT_TRUE(controls.Checked(1080));  // Smooth Shading
    EXPECT_TRUE(controls.Checked(1038));  // Enable Movement
    EXPECT_FALSE(controls.Checked(1041)); // Linear Filtering
    EXPECT_FALSE(controls.Checked(1029)); // Enable Trails

    EXPECT_EQ(controls.trackMin, 0);
    EXPECT_EQ(controls.trackMax, 2);
    EXPECT_EQ(controls.trackPos, 2);
    EXPECT_EQ(controls.lineSize, 1);
    EXPECT_EQ(controls.pageSize, 1);
    EXPECT_EQ(controls.Text(1028), "2");

    const std::vector<std::pair<int, const char*>> boxes = {
        {1039, "25"}, {1040, "19"}, {1071, "2"},  {1042, "10"}, {1043, "10"}, {1044, "10"},
        {1045, "0"},  {1046, "0"},  {1047, "60"}, {1048, "60"}, {1031, "10"}, {1030, "30"},
        {1033, "10"}, {1032, "25"}, {1035, "45"}, {1034, "20"}, {1037, "25"}, {1036, "20"},
    };
    for (const auto& [id, text] : boxes) EXPECT_EQ(controls.Text(id), text) << "box " << id;
    EXPECT_TRUE(SameRecord(Settings, Defaults()));
}

TEST_F(ConfigureDialog, FillsInItsOrderAndEachEditReportsItsChange)
{
    controls.Open();
    const std::vector<std::string> head = {
        "init",         "range 0 2",    "pos 2 redraw",   "line 1",         "page 1",
        "static 1028 2", "check 1080 on", "check 1041 off", "check 1029 off", "check 1038 on",
        "radio 1060-1063 1060", "radio 1055-1059 1057", "radio 1049-1054 1050",
    };
    ASSERT_GE(controls.log.size(), head.size() + 18);
    for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(controls.log[i], head[i]) << "step " << i;
    const int editOrder[] = {1039, 1040, 1071, 1042, 1043, 1044, 1045, 1046, 1047,
                             1048, 1031, 1030, 1033, 1032, 1035, 1034, 1037, 1036};
    for (size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(controls.log[head.size() + i].rfind("text " + std::to_string(editOrder[i]) + " ", 0), 0u)
            << controls.log[head.size() + i];
    }

    // The change reports store what the boxes show: a fraction disappears from the field.
    Settings.x_div = 12.75f;
    Settings.zoom1 = 7.5f;
    FillConfigDialog(DialogControlsDouble::kDialog);
    EXPECT_EQ(controls.Text(1039), "12");
    EXPECT_EQ(Settings.x_div, 12.0f);
    EXPECT_EQ(Settings.zoom1, 7.0f);
}

TEST_F(ConfigureDialog, TrackbarReachesThePriorityOnlyThroughOk)
{
    SettingsRecord stored = Defaults();
    stored.Priority = 1;
    Store(stored);
    controls.Open();
    EXPECT_EQ(controls.trackPos, 1);

    controls.MoveThumb(0);
    EXPECT_EQ(controls.Text(1028), "0");
    EXPECT_EQ(Settings.Priority, 1);

    // A preset puts the thumb and its label back to the record's priority.
    controls.Command(1066);
    EXPECT_EQ(controls.trackPos, 1);
    EXPECT_EQ(controls.Text(1028), "1");
    controls.MoveThumb(0);
    controls.Command(1024); // Defaults: thumb at 2
    EXPECT_EQ(controls.trackPos, 2);
    EXPECT_EQ(controls.Text(1028), "2");

    // Cancel keeps the stored priority.
    controls.MoveThumb(0);
    EXPECT_EQ(controls.Command(2), 1);
    EXPECT_EQ(controls.endResults, std::vector<int>{2});
    EXPECT_EQ(DialogStoreSandbox::Stored().Priority, 1);

    // OK stores the thumb.
    controls.Open();
    controls.MoveThumb(0);
    controls.Command(1);
    EXPECT_EQ(controls.endResults, (std::vector<int>{2, 1}));
    EXPECT_EQ(Settings.Priority, 0);
    EXPECT_EQ(DialogStoreSandbox::Stored().Priority, 0);
}

TEST_F(ConfigureDialog, ScrollMessagesFromOtherControlsLeaveTheLabel)
{
    controls.Open();
    controls.trackPos = 0;
    EXPECT_EQ(controls.Send(kWmHScroll, 0, DialogControlsDouble::Handle(1039)), 1);
    EXPECT_EQ(controls.Text(1028), "2");
    EXPECT_EQ(controls.Send(kWmHScroll, 0, 0), 1);
    EXPECT_EQ(controls.Text(1028), "2");
}

TEST_F(ConfigureDialog, EditsStoreTheirNumberAtEveryKeystroke)
{
    controls.Open();
    controls.Replace(1039, "");
    EXPECT_EQ(Settings.x_div, 0.0f); // a cleared box stores 0
    controls.Type(1039, "2");
    EXPECT_EQ(Settings.x_div, 2.0f);
    controls.Type(1039, "5");
    EXPECT_EQ(Settings.x_div, 25.0f);
    controls.Replace(1039, "0");
    EXPECT_EQ(Settings.x_div, 0.0f);

    // Only the first nine characters of a long paste count.
    controls.Replace(1047, "1234567890123");
    EXPECT_EQ(Settings.xySizeX, 123456789.0f);
    controls.Replace(1071, "99999999999999999999");
    EXPECT_EQ(Settings.genChildren, 999999999);
    // Text without leading digits stores 0; a sign is read as atoi reads it.
    controls.Replace(1048, "abc");
    EXPECT_EQ(Settings.xySizeY, 0.0f);
    controls.Replace(1071, "-7x");
    EXPECT_EQ(Settings.genChildren, -7);
    controls.Replace(1042, "  42");
    EXPECT_EQ(Settings.xyAmplitude, 42.0f);

    // Every box reaches its own field; the "Time" boxes have the lower ids.
    const std::vector<std::pair<int, float*>> bindings = {
        {1039, &Settings.x_div},        {1040, &Settings.y_div},        {1042, &Settings.xyAmplitude},
        {1043, &Settings.xyFrequency1}, {1044, &Settings.xyFrequency2}, {1045, &waveCentre.x},
        {1046, &waveCentre.y},          {1047, &Settings.xySizeX},      {1048, &Settings.xySizeY},
        {1031, &Settings.rotX0},        {1030, &Settings.rotX1},        {1033, &Settings.rotY0},
        {1032, &Settings.rotY1},        {1035, &Settings.rotZ0},        {1034, &Settings.rotZ1},
        {1037, &Settings.zoom0},        {1036, &Settings.zoom1},
    };
    int value = 101;
    for (const auto& [id, field] : bindings) {
        controls.Replace(id, std::to_string(value));
        EXPECT_EQ(*field, static_cast<float>(value)) << "box " << id;
        ++value;
    }
    controls.Replace(1071, "3");
    EXPECT_EQ(Settings.genChildren, 3);
    // Other notifications of an edit read it as well.
    controls.texts[1040] = "77";
    controls.Command(1040, 0x0100 /* EN_SETFOCUS */);
    EXPECT_EQ(Settings.y_div, 77.0f);
}

TEST_F(ConfigureDialog, CheckBoxesFlipTheirFlagOnEachClick)
{
    SettingsRecord stored = Defaults();
    stored.useTrails = 5; // any non-zero value counts as on
    Store(stored);
    controls.Open();
    EXPECT_TRUE(controls.Checked(1029));

    controls.Click(1029);
    EXPECT_EQ(Settings.useTrails, 0);
    EXPECT_FALSE(controls.Checked(1029));
    controls.Click(1029);
    EXPECT_EQ(Settings.useTrails, 1);
    EXPECT_TRUE(controls.Checked(1029));

    const std::vector<std::pair<int, int32_t*>> flags = {
        {1080, &Settings.xyGoraud}, {1041, &Settings.useLinear}, {1038, &Settings.enableMovement}};
    for (const auto& [id, flag] : flags) {
        const int32_t before = *flag;
        controls.Click(id);
        EXPECT_NE(*flag, before) << id;
        EXPECT_EQ(*flag != 0, controls.Checked(id)) << id;
        controls.Click(id);
        EXPECT_EQ(*flag, before) << id;
        EXPECT_EQ(*flag != 0, controls.Checked(id)) << id;
    }
    // Only a click flips: other notifications of a check box change nothing.
    controls.Command(1029, 5 /* BN_DOUBLECLICKED */);
    EXPECT_EQ(Settings.useTrails, 1);
}

TEST_F(ConfigureDialog, RadioButtonsTakeTheValueOfTheirRowNotOfTheirId)
{
    controls.Open();
    const std::vector<std::pair<int, int>> widths = {{1049, 128}, {1051, 256}, {1050, 512}, {1052, 1024}, {1054, 2048}};
    for (const auto& [id, value] : widths) {
        controls.Click(id);
        EXPECT_EQ(Settings.screenTextureWidth, value) << id;
        EXPECT_EQ(controls.log.back(), "radio 1049-1054 " + std::to_string(id));
        for (const auto& [other, ignored] : widths) EXPECT_EQ(controls.Checked(other), other == id);
    }
    const std::vector<std::pair<int, int>> heights = {{1055, 128}, {1057, 256}, {1056, 512}, {1058, 1024}, {1059, 2048}};
    for (const auto& [id, value] : heights) {
        controls.Click(id);
        EXPECT_EQ(Settings.screenTextureHeight, value) << id;
        EXPECT_EQ(controls.log.back(), "radio 1055-1059 " + std::to_string(id));
    }
    EXPECT_EQ(Settings.screenTextureWidth, 2048); // the groups do not disturb each other
    for (int id = 1060; id <= 1063; ++id) {
        controls.Click(id);
        EXPECT_EQ(Settings.Mode, id - 1060);
        EXPECT_EQ(controls.log.back(), "radio 1060-1063 " + std::to_string(id));
    }
}

TEST_F(ConfigureDialog, ValuesNoButtonShowsLeaveTheirGroupClearAndSurviveOk)
{
    SettingsRecord stored = Defaults();
    stored.screenTextureWidth = 300;
    stored.Mode = 4;
    stored.genChildren = -3;
    Store(stored);
    controls.Open();
    for (int id : {1049, 1050, 1051, 1052, 1054}) EXPECT_FALSE(controls.Checked(id)) << id;
    for (int id = 1060; id <= 1063; ++id) EXPECT_FALSE(controls.Checked(id)) << id;
    EXPECT_TRUE(controls.Checked(1057));
    EXPECT_EQ(controls.Text(1071), "-3");

    controls.Command(1);
    const SettingsRecord after = DialogStoreSandbox::Stored();
    EXPECT_EQ(after.screenTextureWidth, 300);
    EXPECT_EQ(after.Mode, 4);
    EXPECT_EQ(after.genChildren, -3);

    // Picking a width replaces the odd value.
    controls.Open();
    controls.Click(1052);
    controls.Command(1);
    EXPECT_EQ(DialogStoreSandbox::Stored().screenTextureWidth, 1024);
}

TEST_F(ConfigureDialog, ExtremeStoredNumbersShowWithoutHarm)
{
    SettingsRecord stored = Defaults();
    stored.Mode = INT32_MIN; // no radio button, no overflow in picking one
    stored.Priority = INT32_MAX;
    Store(stored);
    controls.Open();
    for (int id = 1060; id <= 1063; ++id) EXPECT_FALSE(controls.Checked(id)) << id;
    EXPECT_EQ(controls.Text(1028), "2147483647");

    Settings.x_div = 4294967296.0f; // the largest float a stored number loads as
    FillConfigDialog(DialogControlsDouble::kDialog);
    EXPECT_EQ(controls.Text(1039), "4294967296");
    EXPECT_EQ(Settings.x_div, 429496729.0f); // read back through the nine-character box
}

TEST_F(ConfigureDialog, DefaultsRestoreTheRecordButNotTheWaveCentre)
{
    controls.Open();
    controls.Replace(1045, "77");
    controls.Replace(1046, "88");
    controls.Click(1029);
    controls.Click(1051);
    controls.Command(1067); // Wave3
    controls.Command(1024); // Defaults
    EXPECT_TRUE(SameRecord(Settings, Defaults()));
    EXPECT_EQ(controls.Text(1045), "77");
    EXPECT_EQ(controls.Text(1046), "88");
    EXPECT_EQ(waveCentre.x, 77.0f);
    EXPECT_EQ(waveCentre.y, 88.0f);
    EXPECT_TRUE(controls.Checked(1060));
    EXPECT_FALSE(controls.Checked(1029));
    EXPECT_TRUE(controls.Checked(1050));
    EXPECT_EQ(controls.Text(1034), "20");
}

TEST_F(ConfigureDialog, CancelAfterPresetsAndDefaultsWritesNothing)
{
    SettingsRecord stored = Defaults();
    stored.x_div = 44;
    stored.useLinear = 1;
    Store(stored);
    const SettingsRecord before = DialogStoreSandbox::Stored();
    controls.Open();
    controls.Command(1064);
    controls.Command(1024);
    controls.Replace(1040, "3");
    controls.Click(1041);
    controls.Command(2);
    EXPECT_EQ(controls.endResults, std::vector<int>{2});
    EXPECT_TRUE(SameRecord(DialogStoreSandbox::Stored(), before));
}

TEST_F(ConfigureDialog, OkStoresEveryChangeTheUserMade)
{
    controls.Open();
    controls.Replace(1039, "40");
    controls.Replace(1036, "9");
    controls.Click(1041);
    controls.Click(1061);
    controls.Click(1059);
    controls.Replace(1045, "500"); // the wave centre is never stored
    controls.Command(1);
    const SettingsRecord stored = DialogStoreSandbox::Stored();
    EXPECT_EQ(stored.x_div, 40.0f);
    EXPECT_EQ(stored.zoom1, 9.0f);
    EXPECT_EQ(stored.useLinear, 1);
    EXPECT_EQ(stored.Mode, 1);
    EXPECT_EQ(stored.screenTextureHeight, 2048);
    EXPECT_EQ(stored.Priority, 2);
}

TEST_F(ConfigureDialog, AboutOpensOwnedByTheDialogAndOtherIdsAreHandledQuietly)
{
    controls.Open();
    const SettingsRecord before = Settings;
    EXPECT_EQ(controls.Command(1016), 1);
    EXPECT_EQ(controls.openedDialogs, std::vector<int>{kAboutDialogId});
    EXPECT_EQ(controls.dialogOwners, std::vector<WindowHandle>{DialogControlsDouble::kDialog});
    EXPECT_TRUE(controls.endResults.empty());

    // Unknown ids and the labels' ids are handled (TRUE) and change nothing.
    for (int id : {0, 3, 1028, 1053, 1078, 9999, 0xFFFF}) EXPECT_EQ(controls.Command(id), 1) << id;
    EXPECT_TRUE(SameRecord(Settings, before));
    EXPECT_TRUE(controls.endResults.empty());
    // Messages the dialog does not handle return FALSE.
    EXPECT_EQ(controls.Send(kWmPaint), 0);
    EXPECT_EQ(controls.Send(kWmCtlColorStatic), 0);
    EXPECT_EQ(PrepareConfigureDialog(0), 1);
}

TEST_F(ConfigureDialog, UserSlotsKeepWholeRecordsAcrossCancelAndReopen)
{
    controls.Open();
    controls.Command(1065); // Wave1
    controls.Click(1029);
    controls.Replace(1071, "6");
    controls.Command(1079); // Save 1
    const SettingsRecord slot1 = Settings;
    controls.Command(1068); // Wave4
    controls.Click(1054);
    controls.Command(1070); // Save 2
    const SettingsRecord slot2 = Settings;
    controls.Command(2); // the slots do not wait for OK

    SettingsRecord stored = Defaults();
    stored.Priority = 0;
    Store(stored);
    controls.Open();
    controls.Command(1069); // Recall 1
    EXPECT_TRUE(SameRecord(Settings, slot1));
    EXPECT_TRUE(controls.Checked(1061));
    EXPECT_TRUE(controls.Checked(1029));
    EXPECT_EQ(controls.Text(1071), "6");
    EXPECT_EQ(controls.Text(1039), "80");
    controls.Command(1073); // Recall 2
    EXPECT_TRUE(SameRecord(Settings, slot2));
    EXPECT_TRUE(controls.Checked(1054));
    EXPECT_EQ(controls.trackPos, 2);

    // Slots 3 and 4 are their own keys too.
    controls.Command(1024);
    controls.Replace(1039, "33");
    controls.Command(1074);
    controls.Replace(1039, "44");
    controls.Command(1076);
    controls.Command(1075);
    EXPECT_EQ(Settings.x_div, 33.0f);
    EXPECT_EQ(controls.Text(1039), "33");
    controls.Command(1077);
    EXPECT_EQ(Settings.x_div, 44.0f);
    // A recall changes only the open dialog's record; the settings key waits for OK.
    EXPECT_EQ(DialogStoreSandbox::Stored().x_div, 25.0f);
}

} // namespace
