#include "config/about_box.h"

#include "platform/dialog.h"
#include "platform/win_messages.h"

MessageResult AboutDialogProc(WindowHandle dialog, uint32_t message, WParam wParam, LParam lParam)
{
    if (message == kWmCtlColorStatic) {
        // Only the two links are drawn as hyperlinks; every other static keeps
        // the dialog's own colours.
        if (dialogControls.isDlgItem(dialog, kAboutWebLinkId, lParam) ||
            dialogControls.isDlgItem(dialog, kAboutMailLinkId, lParam)) {
            return dialogControls.colorStaticOnButtonFace(wParam, kAboutLinkColour);
        }
        return 0;
    }
    if (message == kWmCommand) {
        // The notification code is not looked at: a link opens on any click.
        switch (static_cast<int>(wParam & 0xFFFF)) {
        case 1:
        case 2:
            dialogControls.endDialog(dialog, static_cast<int>(wParam & 0xFFFF));
            break;
        case kAboutMailLinkId:
            dialogControls.openLink(kAboutMailLink);
            break;
        case kAboutWebLinkId:
            dialogControls.openLink(kAboutWebLink);
            break;
        default:
            break;
        }
        return 0;
    }
    return 0;
}
