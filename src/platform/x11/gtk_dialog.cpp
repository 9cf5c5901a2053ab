// Dialog boxes on X11 with GTK 3, laid out from the program's dialog templates
// (gtk_dialog_layout.cpp builds the widgets; the rules Win32 dialogs follow
// are in gtk_dialog_rules.cpp). The controls talk to the dialog procedure in Win32 terms: buttons,
// check boxes and radio buttons send WM_COMMAND with BN_CLICKED, edits EN_CHANGE, the trackbar
// WM_HSCROLL; Escape and the close box send IDCANCEL, Enter the default button's id; Tab walks the
// tab stops in template order.
//
// What the program does to a control (setting a text, a check state or the
// thumb) never comes back as a user notification, with one exception that
// Win32 has too: setting an edit's text reports EN_CHANGE, exactly once.
//
// GTK is initialised only when the first dialog opens, so the saver modes,
// which never open one, do not pay for it.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_templates.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "platform/window_styles.h"
#include "platform/x11/gtk_dialog.h"
#include "platform/x11/gtk_dialog_rules.h"

namespace {

// What WM_CTLCOLORSTATIC hands the procedure as its "device context".
struct StaticColours {
    bool textSet;
    uint32_t text;
    bool backgroundSet;
};

std::vector<DialogBox*> liveDialogs;
StaticColours* currentColours = nullptr;

DialogBox* FindDialog(WindowHandle dialog)
{
    for (DialogBox* box : liveDialogs) {
        if (reinterpret_cast<WindowHandle>(box) == dialog)
            return box;
    }
    return nullptr;
}

Control* FindControl(WindowHandle dialog, int id)
{
    DialogBox* box = FindDialog(dialog);
    if (!box || id == kNoControlId)
        return nullptr;
    for (auto& control : box->controls) {
        if (control->source->id == id)
            return control.get();
    }
    return nullptr;
}

WindowHandle HandleOf(const DialogBox* box)
{
    return reinterpret_cast<WindowHandle>(box);
}

LParam HandleOf(const Control* control)
{
    return reinterpret_cast<LParam>(control->widget);
}

MessageResult Send(DialogBox* box, uint32_t message, WParam wParam, LParam lParam)
{
    if (box->ended)
        return 0;
    return box->proc(HandleOf(box), message, wParam, lParam);
}

void SendCommand(DialogBox* box, int id, uint32_t code, LParam control)
{
    Send(box, kWmCommand, (WParam{code} << 16) | (static_cast<WParam>(id) & 0xFFFF), control);
}

// While the program changes a control, the widget's own signals stay quiet.
struct ProgramChange {
    explicit ProgramChange(DialogBox* box) : box(box) { ++box->programChange; }
    ~ProgramChange() { --box->programChange; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;
    DialogBox* box;
};

// --- signals from the widgets ------------------------------------------------

void OnButtonClicked(GtkButton*, gpointer data)
{
    auto* control = static_cast<Control*>(data);
    DialogBox* box = control->box;
    if (box->programChange > 0)
        return;
    if (control->source->kind == ControlKind::RadioButton) {
        // Radio buttons are not automatic: the click only reports, and the
        // procedure decides which button of the group shows as checked.
        ProgramChange change(box);
        gtk_toggle_button_set_active(
            GTK_TOGGLE_BUTTON(control->checked ? control->widget : control->offButton), TRUE);
    }
    SendCommand(box, control->source->id, kBnClicked, HandleOf(control));
}

void OnEntryInsertText(GtkEditable* editable, const gchar* text, gint length, gint* position,
                       gpointer data)
{
    auto* control = static_cast<Control*>(data);
    if (control->box->programChange > 0)
        return;
    // Digits only, as typed or pasted: everything else is dropped.
    const size_t size = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    std::string digits;
    for (size_t i = 0; i < size; ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits += text[i];
    }
    if (digits.size() == size)
        return;
    g_signal_stop_emission_by_name(editable, "insert-text");
    if (digits.empty())
        return;
    g_signal_handlers_block_by_func(editable, reinterpret_cast<gpointer>(OnEntryInsertText), data);
    gtk_editable_insert_text(editable, digits.c_str(), static_cast<gint>(digits.size()), position);
    g_signal_handlers_unblock_by_func(editable, reinterpret_cast<gpointer>(OnEntryInsertText),
                                      data);
}

void OnEntryChanged(GtkEditable*, gpointer data)
{
    auto* control = static_cast<Control*>(data);
    if (control->box->programChange > 0)
        return;
    SendCommand(control->box, control->source->id, kEnChange, HandleOf(control));
}

void OnScaleChanged(GtkRange* range, gpointer data)
{
    auto* control = static_cast<Control*>(data);
    if (control->box->programChange > 0)
        return;
    const auto position = static_cast<WParam>(std::lround(gtk_range_get_value(range)));
    constexpr WParam kTbThumbTrack = 5;
    Send(control->box, kWmHScroll, kTbThumbTrack | (position << 16), HandleOf(control));
}

gboolean OnStaticPressed(GtkWidget*, GdkEventButton* event, gpointer data)
{
    auto* control = static_cast<Control*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY)
        return FALSE;
    constexpr uint32_t kStnClicked = 0;
    SendCommand(control->box, control->source->id, kStnClicked, HandleOf(control));
    return TRUE;
}

gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer data)
{
    // The close box acts as "Cancel"; the procedure ends the dialog, not GTK.
    auto* box = static_cast<DialogBox*>(data);
    Control* cancel = FindControl(HandleOf(box), 2);
    SendCommand(box, 2, kBnClicked, cancel ? HandleOf(cancel) : 0);
    return TRUE;
}

bool IsTabStop(const Control& control)
{
    return (control.source->style & kWsTabStop) != 0 && gtk_widget_get_sensitive(control.widget);
}

// Moves the focus to the next (or previous) tab stop in template order.
void MoveFocus(DialogBox* box, bool forward)
{
    const int count = static_cast<int>(box->controls.size());
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(box->window));
    std::vector<bool> stops(box->controls.size());
    int at = -1;
    for (int i = 0; i < count; ++i) {
        GtkWidget* widget = box->controls[i]->widget;
        if (focus && (focus == widget || gtk_widget_is_ancestor(focus, widget)))
            at = i;
        stops[i] = IsTabStop(*box->controls[i]);
    }
    const int next = NextTabStop(stops, at, forward);
    if (next >= 0)
        gtk_widget_grab_focus(box->controls[next]->widget);
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data)
{
    auto* box = static_cast<DialogBox*>(data);
    const guint modifiers = event->state & gtk_accelerator_get_default_mod_mask();
    switch (event->keyval) {
    case GDK_KEY_Escape: {
        Control* cancel = FindControl(HandleOf(box), 2);
        SendCommand(box, 2, kBnClicked, cancel ? HandleOf(cancel) : 0);
        return TRUE;
    }
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(box->window));
        const ControlTemplate* focused = nullptr;
        for (auto& control : box->controls) {
            if (control->widget == focus)
                focused = control->source;
        }
        const int id = EnterButtonId(*box->source, focused);
        if (id == 0)
            return FALSE; // a focused push button takes Enter itself
        Control* button = FindControl(HandleOf(box), id);
        SendCommand(box, id, kBnClicked, button ? HandleOf(button) : 0);
        return TRUE;
    }
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:
        if (modifiers & ~GDK_SHIFT_MASK)
            return FALSE;
        MoveFocus(box, event->keyval != GDK_KEY_ISO_Left_Tab && !(modifiers & GDK_SHIFT_MASK));
        return TRUE;
    default:
        return FALSE;
    }
}

// Lets the procedure colour each static, as WM_CTLCOLORSTATIC does before a
// static is drawn; a static it answers for gets the colours it set.
void ColourStatics(DialogBox* box)
{
    for (auto& control : box->controls) {
        if (control->source->kind != ControlKind::Static)
            continue;
        StaticColours colours{};
        StaticColours* outer = currentColours;
        currentColours = &colours;
        const MessageResult brush = Send(box, kWmCtlColorStatic, reinterpret_cast<WParam>(&colours),
                                         HandleOf(control.get()));
        currentColours = outer;
        if (brush == 0 || !colours.textSet)
            continue;
        PangoAttrList* attributes = pango_attr_list_new();
        auto channel = [](uint32_t value) { return static_cast<guint16>((value & 0xFF) * 257); };
        pango_attr_list_insert(attributes, pango_attr_foreground_new(channel(colours.text),
                                                                     channel(colours.text >> 8),
                                                                     channel(colours.text >> 16)));
        gtk_label_set_attributes(GTK_LABEL(control->label), attributes);
        pango_attr_list_unref(attributes);
        if (control->source->style & kSsNotify) {
            // Links show the hand, as hyperlinks do. The event box has no window
            // of its own (gtk_widget_get_window is the dialog's), so the hand is
            // set there only while the pointer is over the link.
            gtk_widget_add_events(control->widget, GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
            g_signal_connect(
                control->widget, "enter-notify-event",
                G_CALLBACK(+[](GtkWidget* widget, GdkEventCrossing*, gpointer) -> gboolean {
                    GdkWindow* window = gtk_widget_get_window(widget);
                    GdkCursor* hand =
                        gdk_cursor_new_from_name(gdk_window_get_display(window), "pointer");
                    if (hand) {
                        gdk_window_set_cursor(window, hand);
                        g_object_unref(hand);
                    }
                    return FALSE;
                }),
                nullptr);
            g_signal_connect(
                control->widget, "leave-notify-event",
                G_CALLBACK(+[](GtkWidget* widget, GdkEventCrossing*, gpointer) -> gboolean {
                    gdk_window_set_cursor(gtk_widget_get_window(widget), nullptr);
                    return FALSE;
                }),
                nullptr);
        }
    }
}

// What each kind of control reports to the procedure.
void ConnectSignals(Control& control)
{
    GtkWidget* widget = control.widget;
    switch (control.source->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), &control);
        break;
    case ControlKind::Edit:
        g_signal_connect(widget, "insert-text", G_CALLBACK(OnEntryInsertText), &control);
        g_signal_connect(widget, "changed", G_CALLBACK(OnEntryChanged), &control);
        break;
    case ControlKind::Static:
        if (control.source->style & kSsNotify) { // the label sits in an event box
            gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK);
            g_signal_connect(widget, "button-press-event", G_CALLBACK(OnStaticPressed), &control);
        }
        break;
    case ControlKind::Trackbar:
        g_signal_connect(widget, "value-changed", G_CALLBACK(OnScaleChanged), &control);
        break;
    case ControlKind::GroupBox:
        break;
    }
}

void SetTransientFor(GtkWidget* window, WindowHandle owner)
{
    if (owner == 0)
        return;
    if (DialogBox* parent = FindDialog(owner)) {
        gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(parent->window));
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER_ON_PARENT);
        return;
    }
    // A window of another program, named by its X window id.
    GdkDisplay* display = gdk_display_get_default();
    if (!GDK_IS_X11_DISPLAY(display))
        return;
    gdk_x11_display_error_trap_push(display);
    GdkWindow* foreign =
        gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(owner));
    gdk_x11_display_error_trap_pop_ignored(display);
    if (!foreign)
        return;
    gtk_widget_realize(window);
    gdk_window_set_transient_for(gtk_widget_get_window(window), foreign);
    g_object_unref(foreign);
}

void DestroyDialog(DialogBox* box)
{
    liveDialogs.erase(std::remove(liveDialogs.begin(), liveDialogs.end(), box), liveDialogs.end());
    gtk_widget_destroy(box->window);
    for (auto& control : box->controls) {
        if (control->offButton) {
            gtk_widget_destroy(control->offButton);
            g_object_unref(control->offButton);
        }
    }
    g_main_loop_unref(box->loop);
    delete box;
}

} // namespace

int PlatformDialogBox(const DialogTemplate* source, WindowHandle owner, WindowProcedure proc)
{
    if (!source || !proc || !EnsureGtk())
        return -1;

    auto* box = new DialogBox{
        source, proc, gtk_window_new(GTK_WINDOW_TOPLEVEL), {}, g_main_loop_new(nullptr, FALSE), 0,
        false,  0};
    liveDialogs.push_back(box);
    GtkWindow* window = GTK_WINDOW(box->window);
    gtk_style_context_add_class(gtk_widget_get_style_context(box->window), "brittleview-dialog");
    gtk_window_set_title(window, source->title);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_widget_set_name(box->window, std::to_string(source->id).c_str());
    SetTransientFor(box->window, owner);

    LayOutDialog(box);
    for (auto& control : box->controls)
        ConnectSignals(*control);
    g_signal_connect(box->window, "delete-event", G_CALLBACK(OnDeleteEvent), box);
    g_signal_connect(box->window, "key-press-event", G_CALLBACK(OnKeyPress), box);

    const MessageResult focusFirst = Send(box, kWmInitDialog, 0, 0);
    if (!box->ended) {
        ColourStatics(box);
        gtk_widget_show_all(box->window);
        // TRUE from WM_INITDIALOG: focus on the first tab stop; FALSE: none.
        gtk_window_set_focus(window, nullptr);
        if (focusFirst) {
            for (auto& control : box->controls) {
                if (IsTabStop(*control)) {
                    gtk_widget_grab_focus(control->widget);
                    break;
                }
            }
        }
        gtk_window_present(window);
        g_main_loop_run(box->loop);
    }
    const int result = box->result;
    DestroyDialog(box);
    return result;
}

void PlatformInitCommonControls() {}

void PlatformSetDlgItemText(WindowHandle dialog, int id, const char* text)
{
    Control* control = FindControl(dialog, id);
    if (!control)
        return;
    if (!text)
        text = "";
    DialogBox* box = control->box;
    switch (control->source->kind) {
    case ControlKind::Edit: {
        {
            ProgramChange change(box);
            gtk_entry_set_text(GTK_ENTRY(control->widget), text);
        }
        SendCommand(box, id, kEnChange, HandleOf(control));
        break;
    }
    case ControlKind::Static:
        gtk_label_set_text(GTK_LABEL(control->label), text);
        break;
    case ControlKind::GroupBox:
        gtk_frame_set_label(GTK_FRAME(control->widget), text);
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        gtk_button_set_label(GTK_BUTTON(control->widget), text);
        break;
    case ControlKind::Trackbar:
        break;
    }
}

int PlatformGetDlgItemText(WindowHandle dialog, int id, char* buffer, int maxCount)
{
    if (!buffer || maxCount <= 0)
        return 0;
    buffer[0] = '\0';
    Control* control = FindControl(dialog, id);
    if (!control)
        return 0;
    const char* text = "";
    switch (control->source->kind) {
    case ControlKind::Edit:
        text = gtk_entry_get_text(GTK_ENTRY(control->widget));
        break;
    case ControlKind::Static:
        text = gtk_label_get_text(GTK_LABEL(control->label));
        break;
    case ControlKind::GroupBox:
        text = gtk_frame_get_label(GTK_FRAME(control->widget));
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        text = gtk_button_get_label(GTK_BUTTON(control->widget));
        break;
    case ControlKind::Trackbar:
        break;
    }
    if (!text)
        text = "";
    const size_t count = std::min(std::strlen(text), static_cast<size_t>(maxCount - 1));
    std::memcpy(buffer, text, count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

void PlatformSetStaticText(WindowHandle dialog, int id, const char* text)
{
    Control* control = FindControl(dialog, id);
    if (!control || control->source->kind != ControlKind::Static)
        return;
    gtk_label_set_text(GTK_LABEL(control->label), text ? text : "");
}

void PlatformCheckDlgButton(WindowHandle dialog, int id, bool checked)
{
    Control* control = FindControl(dialog, id);
    if (!control)
        return;
    ProgramChange change(control->box);
    if (control->source->kind == ControlKind::CheckBox) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(control->widget), checked);
    } else if (control->source->kind == ControlKind::RadioButton) {
        control->checked = checked;
        gtk_toggle_button_set_active(
            GTK_TOGGLE_BUTTON(checked ? control->widget : control->offButton), TRUE);
    }
}

void PlatformCheckRadioButton(WindowHandle dialog, int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id) {
        if (FindControl(dialog, id))
            PlatformCheckDlgButton(dialog, id, id == checkId);
    }
}

namespace {

GtkRange* Trackbar(WindowHandle dialog, int id, DialogBox** box)
{
    Control* control = FindControl(dialog, id);
    if (!control || control->source->kind != ControlKind::Trackbar)
        return nullptr;
    *box = control->box;
    return GTK_RANGE(control->widget);
}

} // namespace

void PlatformTrackbarSetRange(WindowHandle dialog, int id, int minimum, int maximum, bool)
{
    DialogBox* box = nullptr;
    GtkRange* range = Trackbar(dialog, id, &box);
    if (!range)
        return;
    ProgramChange change(box);
    gtk_range_set_range(range, minimum, std::max(minimum, maximum));
}

void PlatformTrackbarSetPos(WindowHandle dialog, int id, int position, bool)
{
    DialogBox* box = nullptr;
    GtkRange* range = Trackbar(dialog, id, &box);
    if (!range)
        return;
    ProgramChange change(box);
    gtk_range_set_value(range, position); // clamped into the range, as a trackbar does
}

void PlatformTrackbarSetLineSize(WindowHandle dialog, int id, int size)
{
    DialogBox* box = nullptr;
    GtkRange* range = Trackbar(dialog, id, &box);
    if (!range)
        return;
    GtkAdjustment* adjustment = gtk_range_get_adjustment(range);
    gtk_range_set_increments(range, std::max(1, size),
                             gtk_adjustment_get_page_increment(adjustment));
}

void PlatformTrackbarSetPageSize(WindowHandle dialog, int id, int size)
{
    DialogBox* box = nullptr;
    GtkRange* range = Trackbar(dialog, id, &box);
    if (!range)
        return;
    GtkAdjustment* adjustment = gtk_range_get_adjustment(range);
    gtk_range_set_increments(range, gtk_adjustment_get_step_increment(adjustment),
                             std::max(1, size));
}

int PlatformTrackbarGetPos(WindowHandle dialog, int id)
{
    DialogBox* box = nullptr;
    GtkRange* range = Trackbar(dialog, id, &box);
    return range ? static_cast<int>(std::lround(gtk_range_get_value(range))) : 0;
}

bool PlatformIsDlgItem(WindowHandle dialog, int id, LParam control)
{
    Control* found = FindControl(dialog, id);
    return found && control != 0 && HandleOf(found) == control;
}

MessageResult PlatformColorStaticOnButtonFace(WParam deviceContext, uint32_t textColour)
{
    // Only the colours record of the static being coloured is accepted.
    if (!currentColours || reinterpret_cast<WParam>(currentColours) != deviceContext)
        return 0;
    currentColours->textSet = true;
    currentColours->text = textColour;
    currentColours->backgroundSet = true; // the dialog's own face colour
    return 1;
}

void PlatformOpenLink(const char* target)
{
    if (!target || !*target)
        return;
    // Detached, output discarded; when xdg-open is missing or fails nothing is shown.
    gchar* argv[] = {const_cast<gchar*>("xdg-open"), const_cast<gchar*>(target), nullptr};
    g_spawn_async(nullptr, argv, nullptr,
                  static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                           G_SPAWN_STDERR_TO_DEV_NULL),
                  nullptr, nullptr, nullptr, nullptr);
}

void PlatformEndDialog(WindowHandle dialog, int result)
{
    DialogBox* box = FindDialog(dialog);
    if (!box || box->ended)
        return;
    box->ended = true;
    box->result = result;
    gtk_widget_hide(box->window);
    g_main_loop_quit(box->loop);
}
