// The saver window: its class procedure, the default saver procedure and the
// mode that creates the window and runs its message loop.
//
// Every message of the window goes SaverClassProc -> saverProgramProc (the
// program's SaverWindowProc) -> DefaultSaverProc -> the platform's default
// window procedure.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/platform_types.h"

// The window, 0 until it is created.
extern WindowHandle saverWindow;
// 1 once RunSaverWindow was given a parent window.
extern int isPreview;
// 1 once a close was granted: from then on input is ignored.
extern int closeAllowed;
// 1 while the password library is asked.
extern int passwordPromptActive;
// Where the pointer stood when the mouse test was last reset.
extern ScreenPoint lastCursorPos;
// The pointer must stand more than this many pixels (|dx| + |dy|) away to close the saver.
constexpr uint32_t closeMoveThreshold = 4;
// The "QueryCancelAutoPlay" message number on the Windows 95 family, else 0.
extern uint32_t autoPlayQueryMessage;
// The input-method library when it is loaded already, its ImmAssociateContext
// entry and the input context the window had before it was detached.
extern uintptr_t imeLibrary;
extern uintptr_t imeAssociate;
extern uintptr_t savedInputContext;

// The procedure SaverClassProc passes messages on to: SaverWindowProc, unless
// a test has put another one here.
extern WindowProcedure saverProgramProc;

MessageResult SaverClassProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
MessageResult DefaultSaverProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);

// True when the pointer at now stands far enough from lastCursorPos to close the saver.
bool CursorMovedEnough(ScreenPoint reference, ScreenPoint now);

// Full screen when parent is 0, else a preview inside parent. Returns the exit code.
int RunSaverWindow(WindowHandle parent);
