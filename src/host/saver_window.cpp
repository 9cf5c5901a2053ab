#include "host/saver_window.h"

#include "host/command_line.h"
#include "host/password.h"
#include "host/saver_window_proc.h"
#include "platform/platform.h"
#include "platform/window_styles.h"
#include "platform/win_messages.h"

WindowHandle saverWindow = 0;
int isPreview = 0;
int closeAllowed = 0;
int passwordPromptActive = 0;
ScreenPoint lastCursorPos = {0, 0};
uint32_t autoPlayQueryMessage = 0;
uintptr_t imeLibrary = 0;
uintptr_t imeAssociate = 0;
uintptr_t savedInputContext = 0;

WindowProcedure saverProgramProc = SaverWindowProc;

namespace {

MessageResult PassOn(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    return saverProgramProc(window, message, wParam, lParam);
}

void PostClose(WindowHandle window)
{
    platform.postMessage(window, kWmClose, 0, 0);
}

// Keys typed into the saver must not start an input-method composition.
void DetachInputMethod(WindowHandle window)
{
    imeLibrary = platform.getLoadedLibrary("IMM32.DLL");
    if (imeLibrary == 0)
        return;
    imeAssociate = platform.getProcAddress(imeLibrary, "ImmAssociateContext");
    if (imeAssociate != 0)
        savedInputContext = platform.callImmAssociateContext(imeAssociate, window, 0);
}

void RestoreInputMethod(WindowHandle window)
{
    if (imeLibrary != 0 && imeAssociate != 0 && savedInputContext != 0)
        platform.callImmAssociateContext(imeAssociate, window, savedInputContext);
}

bool IsInputMessage(uint32_t message)
{
    switch (message) {
    case kWmKeyDown:
    case kWmSysKeyDown:
    case kWmMouseMove:
    case kWmLButtonDown:
    case kWmRButtonDown:
    case kWmMButtonDown:
        return true;
    default:
        return false;
    }
}

// The end of every path through the default procedure: the autoplay query is
// answered here, everything else gets the platform's default handling.
MessageResult FinishDefault(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (autoPlayQueryMessage != 0 && message == autoPlayQueryMessage) {
        PostClose(window);
        return passwordVerifier != 0 ? 1 : 0;
    }
    return platform.defWindowProc(window, message, wParam, lParam);
}

} // namespace

bool CursorMovedEnough(ScreenPoint reference, ScreenPoint now)
{
    // Differences and sum in wrapping 32-bit arithmetic, compared unsigned.
    const uint32_t dx = static_cast<uint32_t>(now.x) - static_cast<uint32_t>(reference.x);
    const uint32_t dy = static_cast<uint32_t>(now.y) - static_cast<uint32_t>(reference.y);
    const uint32_t absX = static_cast<int32_t>(dx) < 0 ? 0u - dx : dx;
    const uint32_t absY = static_cast<int32_t>(dy) < 0 ? 0u - dy : dy;
    return absX + absY > closeMoveThreshold;
}

MessageResult SaverClassProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    switch (message) {
    case kWmCreate:
        DetachInputMethod(window);
        lastCursorPos = platform.getCursorPos();
        if (!isPreview)
            platform.hideCursor();
        break;
    case kWmDestroy:
        RestoreInputMethod(window);
        platform.postQuitMessage(0);
        break;
    case kWmSetText:
        return 0;
    case kWmPaint:
        if (closeAllowed)
            return platform.defWindowProc(window, message, wParam, lParam);
        if (!isPreview)
            platform.hideCursor();
        break;
    case kWmHelp:
    case kWmContextMenu:
        if (isPreview) {
            const WindowHandle parent = platform.getParent(window);
            if (parent != 0 && platform.isWindow(parent))
                platform.postMessage(parent, message, parent, lParam);
            return 1;
        }
        break;
    case kWmSysCommand:
        if (!isPreview &&
            (wParam == kScNextWindow || wParam == kScPrevWindow || wParam == kScScreenSave))
            return 0;
        break;
    case kWmTimer:
        if (closeAllowed)
            return 0;
        platform.sleep(0);
        break;
    default:
        if (IsInputMessage(message) && closeAllowed)
            return platform.defWindowProc(window, message, wParam, lParam);
        break;
    }
    return PassOn(window, message, wParam, lParam);
}

MessageResult DefaultSaverProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (isPreview || closeAllowed)
        return FinishDefault(window, message, wParam, lParam);

    if (message == kWmClose) {
        if (isWin9x && AskForPassword(window) == 0) {
            lastCursorPos = platform.getCursorPos();
            return 0;
        }
        return FinishDefault(window, message, wParam, lParam);
    }
    if (message == kWmApp && isWin9x) {
        if (passwordVerifier == 0)
            return 1;
        return platform.callVerifyScreenSavePwd(passwordVerifier, window);
    }
    if (passwordPromptActive)
        return FinishDefault(window, message, wParam, lParam);

    switch (message) {
    case kWmShowWindow:
        if (wParam != 0)
            platform.hideCursor();
        break;
    case kWmActivateApp:
        if (wParam == 0)
            PostClose(window);
        break;
    case kWmSetCursor:
        platform.hideCursor();
        return 1;
    case kWmPower:
        if (wParam == kPwrCriticalResume)
            PostClose(window);
        break;
    case kWmKeyDown:
    case kWmSysKeyDown:
    case kWmLButtonDown:
    case kWmRButtonDown:
    case kWmMButtonDown:
    case kWmPowerBroadcast:
        PostClose(window);
        break;
    case kWmMouseMove: {
        const ScreenPoint now = platform.getCursorPos();
        if (CursorMovedEnough(lastCursorPos, now)) {
            PostClose(window);
            lastCursorPos = now;
        }
        break;
    }
    default:
        break;
    }
    return FinishDefault(window, message, wParam, lParam);
}

int RunSaverWindow(WindowHandle parent)
{
    uint32_t exStyle = 0;
    uint32_t style = 0;
    const char* title = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (parent != 0) {
        platform.getClientSize(parent, &width, &height);
        style = kWsChild | kWsVisible | kWsClipChildren;
        isPreview = 1;
        title = kSaverTitlePreview;
    } else {
        const ScreenRect clip = platform.getScreenClipBox();
        x = clip.left;
        y = clip.top;
        width = clip.right - clip.left;
        height = clip.bottom - clip.top;
        style = kWsPopup | kWsVisible | kWsClipSiblings | kWsClipChildren;
        exStyle = kWsExTopmost;
        title = kSaverTitleFullScreen;
        const WindowHandle running = platform.findWindow(kSaverClassName, title);
        if (running != 0 && platform.isWindow(running)) {
            platform.setForegroundWindow(running);
            return 0;
        }
        LoadPasswordCheck();
    }
    autoPlayQueryMessage = isWin9x ? platform.registerWindowMessage("QueryCancelAutoPlay") : 0;

    int code = -1; // no window: the mode failed
    if (platform.registerSaverClass(saverInstance, SaverClassProc)) {
        saverWindow = platform.createSaverWindow(exStyle, title, style, x, y, width, height, parent,
                                                 saverInstance);
        if (saverWindow != 0) {
            if (!isPreview)
                platform.setForegroundWindow(saverWindow);
            code = platform.runMessageLoop();
        }
    }
    UnloadPasswordCheck();
    return code;
}
