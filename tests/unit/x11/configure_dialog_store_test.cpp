// Dialog cases that need a store holding nothing at all, which only the
// per-user file of the Linux build gives a test for certain.
#include <gtest/gtest.h>

#include <cstring>

#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "core/settings.h"
#include "render/scene.h"
#include "unit/dialog_controls_double.h"
#include "unit/dialog_store_sandbox.h"

namespace {

TEST(ConfigureDialogStore, RecallingAnEmptySlotChangesNothing)
{
    DialogStoreSandbox sandbox;
    DialogControlsDouble controls(kConfigureDialogTemplate, ConfigureDialogProc);
    waveCentre = {0.0f, 0.0f};
    controls.Open();
    controls.Command(1066);
    controls.Replace(1039, "12");
    const SettingsRecord before = Settings;
    const size_t calls = controls.log.size();
    for (int id : {1069, 1073, 1075, 1077}) controls.Command(id);
    EXPECT_EQ(std::memcmp(&before, &Settings, sizeof before), 0);
    EXPECT_EQ(controls.log.size(), calls) << "an empty slot refilled the controls";
    EXPECT_EQ(controls.Text(1039), "12");
}

} // namespace
