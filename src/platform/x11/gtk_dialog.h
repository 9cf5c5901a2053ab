// The GTK dialogs' shared state: one DialogBox per open dialog, one Control
// per control of its template. gtk_dialog_layout.cpp builds them from the
// template; gtk_dialog.cpp runs them and speaks for them to the procedure.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/dialog_templates.h"
#include "platform/platform_types.h"

struct DialogBox;

struct Control {
    const ControlTemplate* source;
    GtkWidget* widget;    // the control's window: what lParam names
    GtkWidget* label;     // statics: the label inside (== widget unless wrapped)
    GtkWidget* offButton; // radio buttons: the hidden partner that holds "unchecked"
    DialogBox* box;
    bool checked; // radio buttons: the state the program gave it
};

struct DialogBox {
    const DialogTemplate* source;
    WindowProcedure proc;
    GtkWidget* window;
    std::vector<std::unique_ptr<Control>> controls;
    GMainLoop* loop;
    int result;
    bool ended;
    int programChange; // > 0 while the program itself changes a control
};

// Initialises GTK and the dialogs' style sheet on first use; false without a display.
bool EnsureGtk();

// Makes one widget per control of box->source at its template place, scaled
// from dialog units by the window's font, and marks the default push button.
// Connects no signals: what the widgets report is gtk_dialog.cpp's business.
void LayOutDialog(DialogBox* box);
