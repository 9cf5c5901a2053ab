#include "config/about_box.h"

#include "platform/platform.h"
#include "platform/win_messages.h"

MessageResult AboutDialogProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam lParam)
{
    if (message == kWmCtlColorStatic) {
        // Only the two links are drawn as hyperlinks; every other static keeps
        // the dialog's own colours.
        if (platform.isDlgItem(dialog, kAboutWebLinkId, lParam) ||
            platform.isDlgItem(dialog, kAboutMailLinkId, lParam)) {
            return platform.colorStaticOnButtonFace(wParam, kAboutLinkColour);
        }
        return 0;
    }
    if (message == kWmCommand) {
        // The notification code is not looked at: a link opens on any click.
        switch (static_cast<int>(wParam & 0xFFFF)) {
        case 1:
        case 2:
            platform.endDialog(dialog, static_cast<int>(wParam & 0xFFFF));
            break;
        case kAboutMailLinkId:
            platform.openLink(kAboutMailLink);
            break;
        case kAboutWebLinkId:
            platform.openLink(kAboutWebLink);
            break;
        default:
            break;
        }
        return 0;
    }
    return 0;
}
