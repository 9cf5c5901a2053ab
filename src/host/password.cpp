#include "host/password.h"

#include "host/command_line.h"
#include "host/saver_window.h"
#include "platform/platform.h"
#include "platform/win_messages.h"

LibraryHandle passwordLibrary = 0;
ProcAddress passwordVerifier = 0;
uint32_t passwordPromptEndTick = 0xFFFFFFFFu;

void LoadPasswordCheck()
{
    if (!isWin9x)
        return;
    if (passwordLibrary != 0)
        UnloadPasswordCheck();
    uint32_t usePassword = 0;
    if (!platform.readScreenSaveUsePassword(&usePassword) || usePassword == 0)
        return;
    passwordLibrary = platform.loadLibrary("PASSWORD.CPL");
    if (passwordLibrary == 0)
        return;
    passwordVerifier = platform.getProcAddress(passwordLibrary, "VerifyScreenSavePwd");
    if (passwordVerifier != 0)
        SetSaverRunningFlag(1);
    else
        UnloadPasswordCheck();
}

void UnloadPasswordCheck()
{
    if (!isWin9x || passwordLibrary == 0)
        return;
    platform.freeLibrary(passwordLibrary);
    passwordLibrary = 0;
    if (passwordVerifier != 0) {
        passwordVerifier = 0;
        SetSaverRunningFlag(0);
    }
}

int AskForPassword(WindowHandle window)
{
    if (passwordPromptActive || closeAllowed)
        return 0;
    if (passwordVerifier == 0) {
        closeAllowed = 1;
        return 1;
    }
    const uint32_t now = platform.tickCount();
    if (passwordPromptEndTick != 0xFFFFFFFFu &&
        now - passwordPromptEndTick < kPasswordRepeatInterval)
        return closeAllowed;
    passwordPromptActive = 1;
    // Timer messages that piled up would otherwise run the program's work under the prompt.
    platform.removeMessage(window, kWmTimer, kWmTimer);
    platform.removeMessage(window, kWmTimer, kWmTimer);
    const MessageResult answer = platform.sendMessage(window, kWmApp, 0, 0);
    closeAllowed = answer != 0 ? 1 : 0;
    passwordPromptActive = 0;
    if (answer == 0)
        platform.hideCursor();
    passwordPromptEndTick = platform.tickCount();
    return closeAllowed;
}

void SetSaverRunningFlag(uint32_t value)
{
    if (isWin9x)
        platform.setScreenSaverRunning(value);
}

void ChangeSaverPassword(WindowHandle owner)
{
    const LibraryHandle library = platform.loadLibrary("MPR.DLL");
    if (library == 0)
        return;
    const ProcAddress change = platform.getProcAddress(library, "PwdChangePasswordA");
    if (change != 0)
        platform.callPwdChangePassword(change, "SCRSAVE", owner, 0, nullptr);
    platform.freeLibrary(library);
}
