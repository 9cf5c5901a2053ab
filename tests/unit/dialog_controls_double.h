// A recording stand-in for the dialog controls, for the logic tests of the
// configuration dialog and the About box. It keeps each control's state the way
// the real controls would (texts, check states, the trackbar), logs every call
// the procedure makes, and plays the user's part: typing, clicking, moving the
// thumb. Setting an edit's text reports EN_CHANGE to the procedure before the
// call returns, as a real edit does.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "config/dialog_templates.h"
#include "host/win_messages.h"
#include "platform/dialog.h"

class DialogControlsDouble {
public:
    static constexpr WindowHandle kDialog = 0xD1A10;
    static constexpr MessageResult kButtonFaceBrush = 0xB2054;

    DialogControlsDouble(const DialogTemplate& dialogTemplate, WindowProcedure proc)
        : template_(dialogTemplate), proc_(proc), saved_(dialogControls)
    {
        current_ = this;
        dialogControls = {
            [] { current_->log.push_back("init"); },
            [](WindowHandle, int id, const char* text) { current_->SetText(id, text, true); },
            [](WindowHandle, int id, char* buffer, int maxCount) { return current_->GetText(id, buffer, maxCount); },
            [](WindowHandle, int id, const char* text) {
                current_->log.push_back("static " + std::to_string(id) + " " + text);
                current_->texts[id] = text;
            },
            [](WindowHandle, int id, bool checked) {
                current_->log.push_back("check " + std::to_string(id) + (checked ? " on" : " off"));
                current_->checks[id] = checked;
            },
            [](WindowHandle, int first, int last, int checkId) {
                current_->log.push_back("radio " + std::to_string(first) + "-" + std::to_string(last) + " " +
                                        std::to_string(checkId));
                for (int id = first; id <= last; ++id) {
                    if (FindControlTemplate(current_->template_, id)) current_->checks[id] = id == checkId;
                }
            },
            [](WindowHandle, int, int minimum, int maximum, bool redraw) {
                current_->log.push_back("range " + std::to_string(minimum) + " " + std::to_string(maximum) +
                                        (redraw ? " redraw" : ""));
                current_->trackMin = minimum;
                current_->trackMax = maximum;
            },
            [](WindowHandle, int, int position, bool redraw) {
                current_->log.push_back("pos " + std::to_string(position) + (redraw ? " redraw" : ""));
                current_->trackPos = position;
            },
            [](WindowHandle, int, int size) {
                current_->log.push_back("line " + std::to_string(size));
                current_->lineSize = size;
            },
            [](WindowHandle, int, int size) {
                current_->log.push_back("page " + std::to_string(size));
                current_->pageSize = size;
            },
            [](WindowHandle, int) { return current_->trackPos; },
            [](WindowHandle, int id, LParam control) { return control == Handle(id); },
            [](WParam, uint32_t colour) {
                current_->linkColours.push_back(colour);
                return kButtonFaceBrush;
            },
            [](const char* target) { current_->openedLinks.push_back(target); },
            [](WindowHandle, int result) { current_->endResults.push_back(result); },
            [](int templateId, WindowHandle owner, WindowProcedure) {
                current_->openedDialogs.push_back(templateId);
                current_->dialogOwners.push_back(owner);
                return 1;
            },
        };
    }

    ~DialogControlsDouble()
    {
        dialogControls = saved_;
        current_ = nullptr;
    }

    DialogControlsDouble(const DialogControlsDouble&) = delete;
    DialogControlsDouble& operator=(const DialogControlsDouble&) = delete;

    // The window handle that a control reports in lParam; controls without an
    // id get one from their place in the template.
    static LParam Handle(int id) { return 0x70000 + id; }
    LParam HandleAt(int index) const { return 0x90000 + index; }

    MessageResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0)
    {
        return proc_(kDialog, message, wParam, lParam);
    }
    MessageResult Command(int id, uint32_t code = kBnClicked)
    {
        return Send(kWmCommand, (WParam{code} << 16) | static_cast<WParam>(id), Handle(id));
    }
    MessageResult Open() { return Send(kWmInitDialog); }

    // A click: a check box changes its own state first, then the dialog hears of it.
    void Click(int id)
    {
        const ControlTemplate* control = FindControlTemplate(template_, id);
        if (control && control->kind == ControlKind::CheckBox) checks[id] = !checks[id];
        Command(id);
    }
    // Typing at the end of an edit's text, one character and one EN_CHANGE at a time.
    void Type(int id, const std::string& typed)
    {
        for (char c : typed) {
            texts[id] += c;
            Command(id, kEnChange);
        }
    }
    // The user replaces an edit's whole text at once (a paste over a selection, or a clear).
    void Replace(int id, const std::string& text)
    {
        texts[id] = text;
        Command(id, kEnChange);
    }
    void MoveThumb(int position)
    {
        trackPos = position;
        Send(kWmHScroll, 5 /* TB_THUMBTRACK */ | (WParam(position) << 16), Handle(1015));
    }

    bool Checked(int id) const
    {
        auto found = checks.find(id);
        return found != checks.end() && found->second;
    }
    std::string Text(int id) const
    {
        auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    int trackMin = 0, trackMax = 100, trackPos = 0, lineSize = 0, pageSize = 0;
    std::vector<std::string> log;
    std::vector<uint32_t> linkColours;
    std::vector<std::string> openedLinks;
    std::vector<int> endResults;
    std::vector<int> openedDialogs;
    std::vector<WindowHandle> dialogOwners;

private:
    void SetText(int id, const char* text, bool byProgram)
    {
        log.push_back("text " + std::to_string(id) + " " + text);
        texts[id] = text;
        const ControlTemplate* control = FindControlTemplate(template_, id);
        if (byProgram && control && control->kind == ControlKind::Edit) Command(id, kEnChange);
    }

    int GetText(int id, char* buffer, int maxCount)
    {
        if (maxCount <= 0) return 0;
        const std::string text = Text(id);
        const int count = static_cast<int>(text.size()) < maxCount - 1 ? static_cast<int>(text.size()) : maxCount - 1;
        text.copy(buffer, static_cast<size_t>(count));
        buffer[count] = '\0';
        return count;
    }

    const DialogTemplate& template_;
    WindowProcedure proc_;
    DialogControlsSeam saved_;
    static inline DialogControlsDouble* current_ = nullptr;
};
