// The GTK dialogs' layout: each control of a template becomes one widget at
// its template place on a GtkFixed, scaled from dialog units with the dialog
// font's average character width and height the way Win32 does it (x * cx / 4,
// y * cy / 8). Widgets are named after their control ids ("1039") so that
// tools and tests can find them.
#include <gtk/gtk.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/window_styles.h"
#include "platform/x11/gtk_dialog.h"
#include "platform/x11/gtk_dialog_rules.h"

namespace {

constexpr const char kDialogCss[] =
    "window.brittleview-dialog { font: 8pt Sans; }"
    ".brittleview-dialog button { padding: 0 4px; min-height: 0; min-width: 0; }"
    ".brittleview-dialog entry { padding: 0 2px; min-height: 0; border-radius: 0; }"
    ".brittleview-dialog checkbutton, .brittleview-dialog radiobutton { padding: 0; min-height: 0; "
    "}"
    ".brittleview-dialog check, .brittleview-dialog radio { min-width: 11px; min-height: 11px;"
    "  margin: 0 4px 0 0; -gtk-icon-transform: scale(0.8); }"
    ".brittleview-dialog scale { padding: 2px 6px; min-height: 0; }"
    ".brittleview-dialog scale slider { min-width: 12px; min-height: 12px; margin: -6px; }"
    ".brittleview-dialog frame > border { border-radius: 0; }";

DialogUnits MeasureDialogUnits(GtkWidget* window)
{
    PangoLayout* layout = gtk_widget_create_pango_layout(
        window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    return DialogUnitsFromFont(width, height);
}

float AlignmentOf(uint32_t style)
{
    switch (style & 0x3) {
    case kSsCenter:
        return 0.5f;
    case kSsRight:
        return 1.0f;
    default:
        return 0.0f;
    }
}

GtkWidget* MakeWidget(Control& control)
{
    const ControlTemplate& source = *control.source;
    switch (source.kind) {
    case ControlKind::PushButton: {
        GtkWidget* button = gtk_button_new_with_label(source.caption);
        if ((source.style & 0xF) == kBsDefPushButton)
            gtk_widget_set_can_default(button, TRUE);
        return button;
    }
    case ControlKind::GroupBox: {
        GtkWidget* frame = gtk_frame_new(source.caption);
        gtk_frame_set_label_align(GTK_FRAME(frame), 0.03f, 0.5f);
        return frame;
    }
    case ControlKind::CheckBox: {
        return gtk_check_button_new_with_label(source.caption);
    }
    case ControlKind::RadioButton: {
        // Alone in a group with a hidden partner: activating the partner is
        // how the program clears the button.
        control.offButton = gtk_radio_button_new(nullptr);
        g_object_ref_sink(control.offButton);
        GtkWidget* radio = gtk_radio_button_new_with_label_from_widget(
            GTK_RADIO_BUTTON(control.offButton), source.caption);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(control.offButton), TRUE);
        gtk_widget_set_can_focus(radio, TRUE);
        return radio;
    }
    case ControlKind::Edit: {
        GtkWidget* entry = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
        gtk_entry_set_has_frame(GTK_ENTRY(entry), (source.style & kWsBorder) != 0);
        gtk_entry_set_activates_default(GTK_ENTRY(entry), FALSE);
        return entry;
    }
    case ControlKind::Static: {
        GtkWidget* label = gtk_label_new(source.caption);
        gtk_label_set_xalign(GTK_LABEL(label), AlignmentOf(source.style));
        gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
        gtk_label_set_justify(GTK_LABEL(label),
                              (source.style & 0x3) == kSsCenter  ? GTK_JUSTIFY_CENTER
                              : (source.style & 0x3) == kSsRight ? GTK_JUSTIFY_RIGHT
                                                                 : GTK_JUSTIFY_LEFT);
        // Statics taller than one line of text wrap within their width, as Win32 statics do.
        gtk_label_set_line_wrap(GTK_LABEL(label), source.height >= 16);
        control.label = label;
        if (!(source.style & kSsNotify))
            return label;
        GtkWidget* events = gtk_event_box_new();
        gtk_event_box_set_visible_window(GTK_EVENT_BOX(events), FALSE);
        gtk_container_add(GTK_CONTAINER(events), label);
        return events;
    }
    case ControlKind::Trackbar: {
        GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 100, 1);
        gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
        gtk_range_set_round_digits(GTK_RANGE(scale), 0);
        return scale;
    }
    }
    return gtk_label_new("");
}

} // namespace

bool EnsureGtk()
{
    static int state = 0; // 0 not tried, 1 ready, -1 no display
    if (state == 0) {
        state = gtk_init_check(nullptr, nullptr) ? 1 : -1;
        if (state == 1) {
            GtkCssProvider* css = gtk_css_provider_new();
            gtk_css_provider_load_from_data(css, kDialogCss, -1, nullptr);
            gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                                      GTK_STYLE_PROVIDER(css),
                                                      GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
            g_object_unref(css);
        }
    }
    return state == 1;
}

void LayOutDialog(DialogBox* box)
{
    const DialogTemplate* source = box->source;
    const DialogUnits units = MeasureDialogUnits(box->window);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, units.X(source->width), units.Y(source->height));
    gtk_container_add(GTK_CONTAINER(box->window), fixed);

    for (int i = 0; i < source->controlCount; ++i) {
        auto control = std::make_unique<Control>(
            Control{&source->controls[i], nullptr, nullptr, nullptr, box, false});
        control->widget = MakeWidget(*control);
        const ControlTemplate& place = *control->source;
        gtk_widget_set_name(control->widget,
                            place.id == kNoControlId ? "static" : std::to_string(place.id).c_str());
        const bool tabStop = (place.style & kWsTabStop) != 0;
        if (place.kind == ControlKind::PushButton || place.kind == ControlKind::CheckBox ||
            place.kind == ControlKind::Edit || place.kind == ControlKind::Trackbar) {
            gtk_widget_set_can_focus(control->widget, tabStop);
        }
        gtk_widget_set_size_request(control->widget, units.X(place.width), units.Y(place.height));
        gtk_fixed_put(GTK_FIXED(fixed), control->widget, units.X(place.x), units.Y(place.y));
        if (place.kind == ControlKind::Static && (place.style & 0x3) != kSsLeft) {
            // A centred or right-aligned text wider than its box overflows on
            // both sides or to the left, not only to the right. Measured once
            // in the dialog, where the dialog's font applies.
            int minimum = 0, natural = 0;
            gtk_widget_get_preferred_width(control->widget, &minimum, &natural);
            const int shift = StaticOverflowShift(place.style, minimum - units.X(place.width));
            if (shift > 0) {
                gtk_fixed_move(GTK_FIXED(fixed), control->widget,
                               std::max(0, units.X(place.x) - shift), units.Y(place.y));
            }
        }
        box->controls.push_back(std::move(control));
    }
    for (auto& control : box->controls) {
        if (control->source->kind == ControlKind::PushButton &&
            (control->source->style & 0xF) == kBsDefPushButton) {
            gtk_window_set_default(GTK_WINDOW(box->window), control->widget);
        }
    }
}
