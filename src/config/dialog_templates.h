// The program's two dialog templates: the configuration dialog and the About box.
#pragma once

#include "platform/dialog_templates.h"

extern const DialogTemplate kConfigureDialogTemplate; // resource 2003
extern const DialogTemplate kAboutDialogTemplate;     // resource 103
