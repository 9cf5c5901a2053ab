// A stand-in for the dialog controls that keeps their state and plays the user's part.
// Setting an edit's text reports EN_CHANGE before the call returns, as a real edit does.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "config/dialog_templates.h"
#include "platform/platform.h"
#include "platform/win_messages.h"

struct DialogControlsDouble {
    static constexpr WindowHandle kDialog = 0xD1A10;
    static constexpr MessageResult kButtonFaceBrush = 0xB2054;

    DialogControlsDouble(const DialogTemplate& dialogTemplate, WindowProcedure procedure)
        : dialog(dialogTemplate), proc(procedure), saved(platform)
    {
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
        platform.trackbarSetRange = [](WindowHandle, int, int low, int high, bool) {
            self->range = {low, high};
        };
        platform.trackbarSetPos = [](WindowHandle, int, int position, bool) {
            self->thumb = position;
        };
        platform.trackbarSetLineSize = [](WindowHandle, int, int size) {
            self->steps.first = size;
        };
        platform.trackbarSetPageSize = [](WindowHandle, int, int size) {
            self->steps.second = size;
        };
        platform.trackbarGetPos = [](WindowHandle, int) { return self->thumb; };
        platform.isDlgItem = [](WindowHandle, int id, LParam control) {
            return control == Handle(id);
        };
        platform.colorStaticOnButtonFace = [](WParam, uint32_t colour) {
            self->log.push_back("colour " + std::to_string(colour));
            return kButtonFaceBrush;
        };
        platform.openLink = [](const char* target) {
            self->log.push_back(std::string("open ") + target);
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
    ~DialogControlsDouble() { platform = saved; }

    // The window that control id reports in lParam.
    static LParam Handle(int id) { return 0x70000 + id; }
    bool Is(int id, ControlKind kind) const
    {
        return FindControlTemplate(dialog, id) && FindControlTemplate(dialog, id)->kind == kind;
    }
    MessageResult Send(uint32_t m, WParam w = 0, LParam l = 0) { return proc(kDialog, m, w, l); }
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

    const DialogTemplate& dialog;
    WindowProcedure proc;
    Platform saved;
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    int thumb = 0;
    std::pair<int, int> range{0, 100}, steps{0, 0}; // the trackbar's; steps: line and page size
    std::vector<std::string> log; // colours given, links opened, dialogs ended and opened
    static inline DialogControlsDouble* self = nullptr;
};
