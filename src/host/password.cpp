#include "host/password.h"

#include "host/command_line.h"
#include "host/host_platform.h"
#include "host/saver_window.h"
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
    if (!hostPlatform.readScreenSaveUsePassword(&usePassword) || usePassword == 0)
        return;
    passwordLibrary = hostPlatform.loadLibrary("PASSWORD.CPL");
    if (passwordLibrary == 0)
        return;
    passwordVerifier = hostPlatform.getProcAddress(passwordLibrary, "VerifyScreenSavePwd");
    if (passwordVerifier != 0)
        SetSaverRunningFlag(1);
    else
        UnloadPasswordCheck();
}

void UnloadPasswordCheck()
{
    if (!isWin9x || passwordLibrary == 0)
        return;
    hostPlatform.freeLibrary(passwordLibrary);
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
    const uint32_t now = hostPlatform.tickCount();
    if (passwordPromptEndTick != 0xFFFFFFFFu &&
        now - passwordPromptEndTick < kPasswordRepeatInterval)
        return closeAllowed;
    passwordPromptActive = 1;
    // Timer messages that piled up would otherwise run the program's work under the prompt.
    hostPlatform.removeMessage(window, kWmTimer, kWmTimer);
    hostPlatform.removeMessage(window, kWmTimer, kWmTimer);
    const MessageResult answer = hostPlatform.sendMessage(window, kWmApp, 0, 0);
    closeAllowed = answer != 0 ? 1 : 0;
    passwordPromptActive = 0;
    if (answer == 0)
        hostPlatform.hideCursor();
    passwordPromptEndTick = hostPlatform.tickCount();
    return closeAllowed;
}

void SetSaverRunningFlag(uint32_t value)
{
    if (isWin9x)
        hostPlatform.setScreenSaverRunning(value);
}

void ChangeSaverPassword(WindowHandle owner)
{
    const LibraryHandle library = hostPlatform.loadLibrary("MPR.DLL");
    if (library == 0)
        return;
    const ProcAddress change = hostPlatform.getProcAddress(library, "PwdChangePasswordA");
    if (change != 0)
        hostPlatform.callPwdChangePassword(change, "SCRSAVE", owner, 0, nullptr);
    hostPlatform.freeLibrary(library);
}
