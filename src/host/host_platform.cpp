#include "host/host_platform.h"

#include "platform/dialog.h"

namespace {

void ExitProcessCall(int code)
{
    PlatformExitProcess(code);
}

} // namespace

const HostPlatform kRealHostPlatform = {
    PlatformRegisterSaverClass,
    PlatformCreateSaverWindow,
    PlatformRunMessageLoop,
    PlatformPostMessage,
    PlatformSendMessage,
    PlatformPostQuitMessage,
    PlatformDefWindowProc,
    PlatformRemoveMessage,
    PlatformGetCursorPos,
    PlatformHideCursor,
    PlatformFindWindow,
    PlatformSetForegroundWindow,
    PlatformGetForegroundWindow,
    PlatformIsWindow,
    PlatformGetParent,
    PlatformGetClientSize,
    PlatformGetScreenClipBox,
    PlatformDialogBox,
    PlatformModuleInstance,
    PlatformIsWin9xFamily,
    PlatformCharNext,
    ExitProcessCall,
    PlatformRunGuarded,
    PlatformTickCount,
    PlatformSleep,
    PlatformReadScreenSaveUsePassword,
    PlatformSetScreenSaverRunning,
    PlatformRegisterWindowMessage,
    PlatformLoadLibrary,
    PlatformGetLoadedLibrary,
    PlatformGetProcAddress,
    PlatformFreeLibrary,
    PlatformCallVerifyScreenSavePwd,
    PlatformCallPwdChangePassword,
    PlatformCallImmAssociateContext,
};

HostPlatform hostPlatform = kRealHostPlatform;
