#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "config/configure_dialog.h"
#include "config/dialog_templates.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "render/scene.h"
#include "unit/dialog_store_sandbox.h"

namespace {

// The dialog on a stand-in for its controls that keeps their state and plays the user's
// part; setting an edit's text reports EN_CHANGE before the call returns, as a real edit
// does. Settings starts from the defaults; a test stores a record with SaveSettings, as an
// earlier "OK" would have.
class ConfigureDialog : public ::testing::Test {
  protected:
    static constexpr WindowHandle kDialog = 0xD1A10;
    const DialogTemplate& dialog = kConfigureDialogTemplate;
    DialogStoreSandbox sandbox;
    Platform saved = platform;

    ConfigureDialog()
    {
        SetDefaultSettings();
        waveCentre = {0.0f, 0.0f};
        self = this;
        platform.initCommonControls = [] {};
        platform.setDlgItemText = [](WindowHandle, int id, const char* text) {
            self->texts[id] = text;
            if (self->Is(id, ControlKind::Edit))
                self->Command(id, kEnChange);
        };
        platform.getDlgItemText = [](WindowHandle, int id, char* buffer, int size) {
            const std::string text = self->Text(id).substr(0, size_t(size - 1));
            buffer[text.copy(buffer, text.size())] = '\0';
            return int(text.size());
        };
        platform.setStaticText = [](WindowHandle, int id, const char* text) {
            self->texts[id] = text;
        };
        platform.checkDlgButton = [](WindowHandle, int id, bool checked) {
            self->checks[id] = checked;
        };
        platform.checkRadioButton = [](WindowHandle, int first, int last, int checkId) {
            for (int id = first; id <= last; ++id)
                if (FindControlTemplate(self->dialog, id))
                    self->checks[id] = id == checkId;
        };
        platform.trackbarSetRange = [](WindowHandle, int, int, int, bool) {};
        platform.trackbarSetPos = [](WindowHandle, int, int position, bool) {
            self->thumb = position;
        };
        platform.trackbarSetLineSize = [](WindowHandle, int, int) {};
        platform.trackbarSetPageSize = [](WindowHandle, int, int) {};
        platform.trackbarGetPos = [](WindowHandle, int) { return self->thumb; };
        platform.isDlgItem = [](WindowHandle, int id, LParam control) {
            return control == Handle(id);
        };
        platform.endDialog = [](WindowHandle, int result) {
            self->log.push_back("end " + std::to_string(result));
        };
        platform.dialogBox = [](const DialogTemplate* opened, WindowHandle owner, WindowProcedure) {
            self->log.push_back("dialog " + std::to_string(opened->id) +
                                (owner == kDialog ? " owned by this one" : " owned elsewhere"));
            return 1;
        };
    }
    ~ConfigureDialog() { platform = saved; }

    // The window that control id reports in lParam.
    static LParam Handle(int id) { return 0x70000 + id; }
    bool Is(int id, ControlKind kind) const
    {
        return FindControlTemplate(dialog, id) && FindControlTemplate(dialog, id)->kind == kind;
    }
    MessageResult Send(uint32_t m, WParam w = 0, LParam l = 0)
    {
        return ConfigureDialogProc(kDialog, m, w, l);
    }
    MessageResult Command(int id, uint32_t code = kBnClicked)
    {
        return Send(kWmCommand, (WParam{code} << 16) | WParam(id), Handle(id));
    }
    MessageResult Open() { return Send(kWmInitDialog); }
    // A check box changes its own state before the dialog hears of the click.
    void Click(int id)
    {
        checks[id] = Is(id, ControlKind::CheckBox) ? !checks[id] : checks[id];
        Command(id);
    }
    // The user types, pastes over or clears an edit's text.
    void Replace(int id, const std::string& text)
    {
        texts[id] = text;
        Command(id, kEnChange);
    }
    void MoveThumb(int to)
    {
        thumb = to;
        Send(kWmHScroll, 5 /* TB_THUMBTRACK */ | WParam(to) << 16, Handle(1015));
    }
    bool Checked(int id) const { return checks.count(id) && checks.at(id); }
    std::string Text(int id) const { return texts.count(id) ? texts.at(id) : std::string(); }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    int thumb = 0;
    std::vector<std::string> log; // dialogs ended and opened
    static inline ConfigureDialog* self = nullptr;
};

// The record's numbers and the controls showing them; the first 16 are the preset table's rows.
struct Field {
    int box;
    float* f = nullptr;
    int32_t* i = nullptr;
    Field(int id, float& field) : box(id), f(&field) {}
    Field(int id, int32_t& field) : box(id), i(&field) {}
    float Get() const { return f ? *f : float(*i); }
    void Set(int value) const { f ? (*f = float(value)) : (*i = value); }
};
SettingsRecord& s = Settings;
const Field kFields[] = {{1039, s.x_div},        {1040, s.y_div},          {0, s.Mode},
                         {1071, s.genChildren},  {1042, s.xyAmplitude},    {1043, s.xyFrequency1},
                         {1044, s.xyFrequency2}, {1038, s.enableMovement}, {1031, s.rotX0},
                         {1030, s.rotX1},        {1033, s.rotY0},          {1032, s.rotY1},
                         {1035, s.rotZ0},        {1034, s.rotZ1},          {1037, s.zoom0},
                         {1036, s.zoom1},        {1045, waveCentre.x},     {1046, waveCentre.y},
                         {1047, s.xySizeX},      {1048, s.xySizeY}};

TEST_F(ConfigureDialog, OpensOnTheDefaultsAndEveryBoxFollowsItsText)
{
    Settings.Mode = 3; // the dialog loads the store over whatever the record held
    EXPECT_EQ(Open(), 1);
    EXPECT_TRUE(SameRecord(Settings, Defaults()));

    // Truncated toward zero, and each box's change report stores what it shows.
    Settings.rotX0 = -2.9f;
    FillConfigDialog(kDialog);
    EXPECT_EQ(Text(1031), "-2");
    EXPECT_EQ(Settings.rotX0, -2.0f);
    // Every box shows its own field and reaches it: in the movement rows "Time" has the lower id.
    const auto edit = [](const Field& field) { return field.f || field.box == 1071; };
    for (int way : {0, 1}) {
        for (const Field& field : kFields)
            if (edit(field))
                way ? Replace(field.box, std::to_string(field.box - 800))
                    : field.Set(field.box - 900);
        if (way == 0)
            FillConfigDialog(kDialog);
        for (const Field& field : kFields)
            EXPECT_TRUE(!edit(field) || (field.Get() == field.box - 900 + 100 * way &&
                                         Text(field.box) == std::to_string(int(field.Get()))))
                << field.box;
    }
}

TEST_F(ConfigureDialog, TrackbarReachesThePriorityOnlyThroughOk)
{
    Settings.Priority = 1;
    SaveSettings();
    Open();
    MoveThumb(0);
    EXPECT_EQ(Settings.Priority, 1);
    EXPECT_EQ(Command(2), 1);
    EXPECT_EQ(DialogStoreSandbox::Stored().Priority, 1);
    Open();
    MoveThumb(0);
    Command(1);
    EXPECT_EQ(log, (std::vector<std::string>{"end 2", "end 1"}));
    EXPECT_EQ(DialogStoreSandbox::Stored().Priority, 0);
}

TEST_F(ConfigureDialog, OddStoredValuesSurviveOkAndClicksChangeTheRecordAtOnce)
{
    Settings.useTrails = 5;
    Settings.screenTextureWidth = 300;
    Settings.Mode = 4;
    SaveSettings();
    Open();
    // Values no button shows leave their group clear, and "OK" stores them back.
    for (int id : {1049, 1050, 1051, 1052, 1054, 1060, 1061, 1062, 1063})
        EXPECT_FALSE(Checked(id)) << id;
    EXPECT_TRUE(Checked(1057));
    Command(1);
    EXPECT_EQ(DialogStoreSandbox::Stored().screenTextureWidth, 300);
    EXPECT_EQ(DialogStoreSandbox::Stored().Mode, 4);

    Open(); // any non-zero flag (the stored 5) shows as on
    const std::pair<int, int32_t*> flags[] = {
        {1029, &s.useTrails}, {1080, &s.xyGoraud}, {1041, &s.useLinear}, {1038, &s.enableMovement}};
    for (const auto& [id, flag] : flags) {
        for (bool on : {!Checked(id), Checked(id)}) {
            Click(id);
            EXPECT_TRUE(*flag == int(on) && Checked(id) == on) << id << " flag " << *flag;
        }
    }

    int32_t *width = &s.screenTextureWidth, *height = &s.screenTextureHeight, *mode = &s.Mode;
    const std::tuple<int, int32_t*, int> radios[] = {
        {1051, width, 256},   {1050, width, 512}, {1054, width, 2048}, {1056, height, 512},
        {1058, height, 1024}, {1063, mode, 3},    {1062, mode, 2},     {1061, mode, 1}};
    for (const auto& [id, field, value] : radios) {
        Click(id);
        EXPECT_EQ(*field, value) << id;
        for (const auto& [other, otherField, ignored] : radios)
            EXPECT_TRUE(otherField != field || Checked(other) == (other == id)) << other;
    }
    Command(1);
    const SettingsRecord stored = DialogStoreSandbox::Stored();
    EXPECT_EQ(stored.useTrails, 1);
    EXPECT_EQ(stored.screenTextureWidth, 2048);
    EXPECT_EQ(stored.Mode, 1);
}

TEST_F(ConfigureDialog, UserSlotsKeepWholeRecordsAcrossCancel)
{
    const int slots[4][2] = {{1079, 1069}, {1070, 1073}, {1074, 1075}, {1076, 1077}};
    Open();
    Command(1065); // Wave1
    Click(1029);
    for (int i = 0; i < 4; ++i) {
        Replace(1039, std::to_string(31 + i));
        Command(slots[i][0]);
    }
    const SettingsRecord saved = Settings;
    Command(2);

    Open();
    for (int i = 0; i < 4; ++i) {
        Command(slots[i][1]);
        EXPECT_EQ(Settings.x_div, 31.0f + i) << "slot " << i + 1;
        EXPECT_EQ(Text(1039), std::to_string(31 + i)) << "slot " << i + 1;
    }
    EXPECT_TRUE(SameRecord(Settings, saved));
    EXPECT_EQ(DialogStoreSandbox::Stored().x_div, 25.0f); // a recall waits for OK
}

TEST_F(ConfigureDialog, EachPresetAssignsItsColumnAndNothingElse)
{
    constexpr int K = -1; // kept
    const std::tuple<int, const char*, std::vector<int>> presets[] = {
        {1026, "Explode2", {5, 35, 0, 2, K, K, K, 1, 30, 30, 30, 50, 60, 20, 4, 0}},
        {1064, "Explode4", {5, 5, 0, 4, K, K, K, 1, 0, 0, 30, 30, 20, 10, 5, 0}},
        {1065, "Wave1", {80, 60, 1, K, 50, 30, 30, 1, 10, 30, 10, 25, 45, 20, 25, 20}},
        {1067, "Wave3", {100, 80, 3, K, 50, 30, 30, 1, 0, 0, 0, 0, 3600, 100, 14, 0}}};
    // Every field starts from its own value, "Enable Movement" cleared.
    auto initial = [](int row) { return row == 7 ? 0 : 70 + row; };
    Open();
    Settings.Priority = 1;
    Settings.xyGoraud = 0;
    Settings.useLinear = 1;
    Settings.screenTextureWidth = 1024;
    Settings.screenTextureHeight = 2048;
    Settings.useTrails = 1;
    for (const auto& [id, caption, values] : presets) {
        SCOPED_TRACE(caption);
        for (int row = 0; row < 20; ++row)
            kFields[row].Set(initial(row));
        FillConfigDialog(kDialog);
        MoveThumb(0);
        const SettingsRecord before = Settings;
        Command(id);
        for (int row = 0; row < 16; ++row) {
            const int expected = values[row] == K ? initial(row) : values[row];
            const int box = kFields[row].box;
            const std::string shown = box == 1038 ? std::to_string(Checked(box)) : Text(box);
            EXPECT_EQ(kFields[row].Get(), float(expected)) << "row " << row;
            EXPECT_TRUE(box == 0 || shown == std::to_string(expected)) << row << " shows " << shown;
            kFields[row].Set(initial(row));
        }
        EXPECT_TRUE(SameRecord(Settings, before)) << "a field outside the column changed";
        EXPECT_TRUE(Checked(1060 + values[2]));
        EXPECT_EQ(thumb, 1); // back to the record's priority
        EXPECT_EQ(Text(1028), "1");
    }
}

} // namespace
