// The saver password on the Windows 95 family: the platform's verification
// library gates every close of the full-screen saver, and the network
// provider library changes the password. Elsewhere all of this does nothing.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/platform_types.h"

// The loaded "PASSWORD.CPL", or 0.
extern LibraryHandle passwordLibrary;
// Its "VerifyScreenSavePwd" entry point; nonzero exactly while a password is in use.
extern ProcAddress passwordVerifier;
// Tick count taken right after the last verification returned; 0xFFFFFFFF before the first.
extern uint32_t passwordPromptEndTick;

// A close request within this many milliseconds after a verification is refused without asking.
constexpr uint32_t kPasswordRepeatInterval = 200;

// Arms the check when the user asked for a password and the library is there.
void LoadPasswordCheck();
// Disarms the check and frees the library.
void UnloadPasswordCheck();
// One close request: nonzero when the saver may close.
int AskForPassword(WindowHandle window);
// Tells the system whether a protected saver runs (Windows 95 family only).
void SetSaverRunningFlag(uint32_t value);
// The change-password mode: the provider's dialog owned by owner.
void ChangeSaverPassword(WindowHandle owner);
