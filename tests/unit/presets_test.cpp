#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "config/presets.h"
#include "core/settings.h"
#include "render/scene.h"
#include "unit/dialog_controls_double.h"

namespace {

// Presets act on the open dialog's record only, so these tests never open the
// dialog (which would load the store): they fill it from the record instead.
class Presets : public ::testing::Test {
protected:
    Presets() : controls(kConfigureDialogTemplate, ConfigureDialogProc)
    {
        SetDefaultSettings();
        waveCentre = {0.0f, 0.0f};
        FillConfigDialog(DialogControlsDouble::kDialog);
    }
    void Press(const char* caption)
    {
        for (const Preset& preset : kPresets) {
            if (std::strcmp(preset.caption, caption) == 0) {
                controls.Command(preset.controlId);
                return;
            }
        }
        FAIL() << "no preset " << caption;
    }
    DialogControlsDouble controls;
};

TEST_F(Presets, ButtonsOfTheDialogApplyTheirOwnPreset)
{
    std::set<int> ids;
    for (const Preset& preset : kPresets) {
        const ControlTemplate* button = FindControlTemplate(kConfigureDialogTemplate, preset.controlId);
        ASSERT_NE(button, nullptr) << preset.caption;
        EXPECT_EQ(button->kind, ControlKind::PushButton);
        EXPECT_STREQ(button->caption, preset.caption);
        EXPECT_EQ(FindPreset(preset.controlId), &preset);
        ids.insert(preset.controlId);
    }
    EXPECT_EQ(ids, (std::set<int>{1025, 1026, 1072, 1064, 1065, 1066, 1067, 1068}));
    EXPECT_EQ(FindPreset(1024), nullptr);
}

TEST_F(Presets, ExplodeFourAfterWaveTwoKeepsTheWaveAmplitude)
{
    Press("Wave2");
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_EQ(Settings.xyAmplitude, 80.0f);
    EXPECT_TRUE(controls.Checked(1062));
    Press("Explode4");
    EXPECT_EQ(Settings.Mode, 0);
    EXPECT_EQ(Settings.genChildren, 4);
    EXPECT_EQ(Settings.xyAmplitude, 80.0f);
    EXPECT_EQ(Settings.x_div, 5.0f);
    EXPECT_EQ(Settings.y_div, 5.0f);
    EXPECT_TRUE(controls.Checked(1060));
    EXPECT_FALSE(controls.Checked(1062));
    EXPECT_EQ(controls.Text(1071), "4");
    EXPECT_EQ(controls.Text(1042), "80");
}

TEST_F(Presets, WaveThreeShowsItsLargeZRotation)
{
    Press("Wave3");
    EXPECT_EQ(Settings.rotZ0, 3600.0f);
    EXPECT_EQ(Settings.rotZ1, 100.0f);
    EXPECT_EQ(controls.Text(1035), "3600");
    EXPECT_EQ(controls.Text(1034), "100");
    EXPECT_EQ(controls.Text(1039), "100");
    EXPECT_EQ(controls.Text(1040), "80");
    EXPECT_TRUE(controls.Checked(1063));
}

TEST_F(Presets, WaveFourSharesWaveThreesModeAndTheDefaultMovement)
{
    Press("Wave4");
    EXPECT_EQ(Settings.Mode, 3);
    const float movement[] = {Settings.rotX0, Settings.rotX1, Settings.rotY0, Settings.rotY1,
                              Settings.rotZ0, Settings.rotZ1, Settings.zoom0, Settings.zoom1};
    const float defaults[] = {10, 30, 10, 25, 45, 20, 25, 20};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(movement[i], defaults[i]) << i;
    EXPECT_EQ(Settings.xyAmplitude, 20.0f);
    EXPECT_EQ(Settings.xyFrequency1, 20.0f);
    EXPECT_EQ(Settings.xyFrequency2, 30.0f);
}

TEST_F(Presets, PresetsCheckEnableMovementAgain)
{
    controls.Click(1038);
    EXPECT_EQ(Settings.enableMovement, 0);
    Press("Explode2");
    EXPECT_EQ(Settings.enableMovement, 1);
    EXPECT_TRUE(controls.Checked(1038));
}

TEST_F(Presets, NoPresetTouchesTheFieldsOutsideItsColumn)
{
    for (const Preset& preset : kPresets) {
        SetDefaultSettings();
        Settings.Priority = 1;
        Settings.xySizeX = 61;
        Settings.xySizeY = 62;
        Settings.xyGoraud = 0;
        Settings.useLinear = 1;
        Settings.screenTextureWidth = 1024;
        Settings.screenTextureHeight = 2048;
        Settings.useTrails = 1;
        Settings.genChildren = 7;
        Settings.xyAmplitude = 11;
        Settings.xyFrequency1 = 12;
        Settings.xyFrequency2 = 13;
        waveCentre = {5.0f, 6.0f};
        FillConfigDialog(DialogControlsDouble::kDialog);
        controls.MoveThumb(0);
        controls.Command(preset.controlId);

        SCOPED_TRACE(preset.caption);
        EXPECT_EQ(Settings.Priority, 1);
        EXPECT_EQ(controls.trackPos, 1); // the thumb goes back to the record's value
        EXPECT_EQ(controls.Text(1028), "1");
        EXPECT_EQ(Settings.xySizeX, 61.0f);
        EXPECT_EQ(Settings.xySizeY, 62.0f);
        EXPECT_EQ(Settings.xyGoraud, 0);
        EXPECT_EQ(Settings.useLinear, 1);
        EXPECT_EQ(Settings.screenTextureWidth, 1024);
        EXPECT_EQ(Settings.screenTextureHeight, 2048);
        EXPECT_EQ(Settings.useTrails, 1);
        EXPECT_EQ(waveCentre.x, 5.0f);
        EXPECT_EQ(waveCentre.y, 6.0f);
        EXPECT_EQ(controls.Text(1045), "5");
        const bool explode = Settings.Mode == 0;
        EXPECT_EQ(explode, std::string(preset.caption).rfind("Explode", 0) == 0);
        if (explode) {
            EXPECT_EQ(Settings.xyAmplitude, 11.0f);
            EXPECT_EQ(Settings.xyFrequency1, 12.0f);
            EXPECT_EQ(Settings.xyFrequency2, 13.0f);
        } else {
            EXPECT_EQ(Settings.genChildren, 7);
            EXPECT_EQ(controls.Text(1071), "7");
        }
        EXPECT_EQ(Settings.enableMovement, 1);
    }
}

} // namespace
