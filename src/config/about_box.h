// The About box (template 103): version, credit line and two links that the
// desktop's default handler opens when clicked.
#pragma once

#include "platform/platform_types.h"

constexpr int kAboutMailLinkId = 1019;
constexpr int kAboutWebLinkId = 1020;

// Each link static shows exactly the string that is opened when it is clicked.
constexpr const char kAboutMailLink[] = "mailto:brittleview@example.org";
constexpr const char kAboutWebLink[] = "http://brittleview.example.org/";
constexpr const char kAboutCreditText[] = "by the Brittleview team";
constexpr const char kAboutVersionText[] = "Version 1.1";

// Pure blue, as a COLORREF (0x00BBGGRR).
constexpr uint32_t kAboutLinkColour = 0x00FF0000u;

MessageResult AboutDialogProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam lParam);
