// Dialog cases that need a store holding nothing at all, which only the
// per-user file of the Linux build gives a test for certain.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "core/settings.h"
#include "render/scene.h"
#include "unit/dialog_controls_double.h"
#include "unit/dialog_store_sandbox.h"

namespace {

std::string StoreFileText()
{
    std::ifstream file(std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "brittleview" / "settings.reg");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

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

TEST(ConfigureDialogStore, CancelLeavesTheFileByteForByteAndSlotsStayApart)
{
    DialogStoreSandbox sandbox;
    DialogControlsDouble controls(kConfigureDialogTemplate, ConfigureDialogProc);
    controls.Open();
    EXPECT_EQ(StoreFileText(), ""); // opening writes nothing
    controls.Replace(1039, "31");
    controls.Command(1);
    const std::string saved = StoreFileText();
    ASSERT_NE(saved.find("\"x_div\"=dword:0000001f"), std::string::npos) << saved;

    controls.Open();
    controls.Command(1067);
    controls.Command(1024);
    controls.MoveThumb(0);
    controls.Click(1029);
    controls.Command(2);
    EXPECT_EQ(StoreFileText(), saved);

    // A slot is written at once, under its own key, and a later OK keeps it.
    controls.Open();
    controls.Replace(1040, "17");
    controls.Command(1074);
    const std::string withSlot = StoreFileText();
    EXPECT_NE(withSlot.find("Presets\\3]"), std::string::npos) << withSlot;
    controls.Command(1);
    controls.Open();
    controls.Command(1024);
    controls.Command(1075);
    EXPECT_EQ(Settings.y_div, 17.0f);
    EXPECT_EQ(controls.Text(1040), "17");
}

} // namespace
