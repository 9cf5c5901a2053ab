// Dialog boxes built from the program's dialog templates.
#pragma once

#include "platform/platform_types.h"

// Runs dialog template templateId modally with proc as its dialog procedure,
// owned by owner (0: none). Returns the value the procedure ended it with, or
// -1 when the dialog cannot be created.
int PlatformDialogBox(int templateId, WindowHandle owner, WindowProcedure proc);
