// The configuration dialog (template 2003): its procedure and the hook called before it opens.
#pragma once

#include "platform/platform_types.h"

constexpr int kConfigureDialogId = 2003;
constexpr int kAboutDialogId = 103;

int PrepareConfigureDialog(uintptr_t instance);
MessageResult ConfigureDialogProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam lParam);
