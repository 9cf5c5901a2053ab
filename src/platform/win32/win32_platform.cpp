// The Win32 backend's table of platform functions. The functions are defined
// in win32_window.cpp, win32_dialog.cpp and win32_system.cpp; their types are taken from the table,
// so the contract in platform/platform.h is the only place they are spelled out.
#include "platform/platform.h"

#include <type_traits>

template <typename Field> using FunctionOf = std::remove_pointer_t<Field>;

FunctionOf<decltype(Platform::registerSaverClass)> PlatformRegisterSaverClass;
FunctionOf<decltype(Platform::createSaverWindow)> PlatformCreateSaverWindow;
FunctionOf<decltype(Platform::runMessageLoop)> PlatformRunMessageLoop;
FunctionOf<decltype(Platform::postMessage)> PlatformPostMessage;
FunctionOf<decltype(Platform::sendMessage)> PlatformSendMessage;
FunctionOf<decltype(Platform::postQuitMessage)> PlatformPostQuitMessage;
FunctionOf<decltype(Platform::defWindowProc)> PlatformDefWindowProc;
FunctionOf<decltype(Platform::removeMessage)> PlatformRemoveMessage;
FunctionOf<decltype(Platform::getCursorPos)> PlatformGetCursorPos;
FunctionOf<decltype(Platform::hideCursor)> PlatformHideCursor;
FunctionOf<decltype(Platform::findWindow)> PlatformFindWindow;
FunctionOf<decltype(Platform::setForegroundWindow)> PlatformSetForegroundWindow;
FunctionOf<decltype(Platform::getForegroundWindow)> PlatformGetForegroundWindow;
FunctionOf<decltype(Platform::isWindow)> PlatformIsWindow;
FunctionOf<decltype(Platform::getParent)> PlatformGetParent;
FunctionOf<decltype(Platform::getClientSize)> PlatformGetClientSize;
FunctionOf<decltype(Platform::getScreenClipBox)> PlatformGetScreenClipBox;
FunctionOf<decltype(Platform::dialogBox)> PlatformDialogBox;
FunctionOf<decltype(Platform::initCommonControls)> PlatformInitCommonControls;
FunctionOf<decltype(Platform::setDlgItemText)> PlatformSetDlgItemText;
FunctionOf<decltype(Platform::getDlgItemText)> PlatformGetDlgItemText;
FunctionOf<decltype(Platform::setStaticText)> PlatformSetStaticText;
FunctionOf<decltype(Platform::checkDlgButton)> PlatformCheckDlgButton;
FunctionOf<decltype(Platform::checkRadioButton)> PlatformCheckRadioButton;
FunctionOf<decltype(Platform::trackbarSetRange)> PlatformTrackbarSetRange;
FunctionOf<decltype(Platform::trackbarSetPos)> PlatformTrackbarSetPos;
FunctionOf<decltype(Platform::trackbarSetLineSize)> PlatformTrackbarSetLineSize;
FunctionOf<decltype(Platform::trackbarSetPageSize)> PlatformTrackbarSetPageSize;
FunctionOf<decltype(Platform::trackbarGetPos)> PlatformTrackbarGetPos;
FunctionOf<decltype(Platform::isDlgItem)> PlatformIsDlgItem;
FunctionOf<decltype(Platform::colorStaticOnButtonFace)> PlatformColorStaticOnButtonFace;
FunctionOf<decltype(Platform::openLink)> PlatformOpenLink;
FunctionOf<decltype(Platform::endDialog)> PlatformEndDialog;
FunctionOf<decltype(Platform::moduleInstance)> PlatformModuleInstance;
FunctionOf<decltype(Platform::isWin9xFamily)> PlatformIsWin9xFamily;
FunctionOf<decltype(Platform::charNext)> PlatformCharNext;
FunctionOf<decltype(Platform::exitProcess)> PlatformExitProcess;
FunctionOf<decltype(Platform::runGuarded)> PlatformRunGuarded;
FunctionOf<decltype(Platform::tickCount)> PlatformTickCount;
FunctionOf<decltype(Platform::sleep)> PlatformSleep;
FunctionOf<decltype(Platform::readScreenSaveUsePassword)> PlatformReadScreenSaveUsePassword;
FunctionOf<decltype(Platform::setScreenSaverRunning)> PlatformSetScreenSaverRunning;
FunctionOf<decltype(Platform::registerWindowMessage)> PlatformRegisterWindowMessage;
FunctionOf<decltype(Platform::loadLibrary)> PlatformLoadLibrary;
FunctionOf<decltype(Platform::getLoadedLibrary)> PlatformGetLoadedLibrary;
FunctionOf<decltype(Platform::getProcAddress)> PlatformGetProcAddress;
FunctionOf<decltype(Platform::freeLibrary)> PlatformFreeLibrary;
FunctionOf<decltype(Platform::callVerifyScreenSavePwd)> PlatformCallVerifyScreenSavePwd;
FunctionOf<decltype(Platform::callPwdChangePassword)> PlatformCallPwdChangePassword;
FunctionOf<decltype(Platform::callImmAssociateContext)> PlatformCallImmAssociateContext;

const Platform kWin32Platform = {
    .registerSaverClass = PlatformRegisterSaverClass,
    .createSaverWindow = PlatformCreateSaverWindow,
    .runMessageLoop = PlatformRunMessageLoop,
    .postMessage = PlatformPostMessage,
    .sendMessage = PlatformSendMessage,
    .postQuitMessage = PlatformPostQuitMessage,
    .defWindowProc = PlatformDefWindowProc,
    .removeMessage = PlatformRemoveMessage,
    .getCursorPos = PlatformGetCursorPos,
    .hideCursor = PlatformHideCursor,
    .findWindow = PlatformFindWindow,
    .setForegroundWindow = PlatformSetForegroundWindow,
    .getForegroundWindow = PlatformGetForegroundWindow,
    .isWindow = PlatformIsWindow,
    .getParent = PlatformGetParent,
    .getClientSize = PlatformGetClientSize,
    .getScreenClipBox = PlatformGetScreenClipBox,
    .dialogBox = PlatformDialogBox,
    .initCommonControls = PlatformInitCommonControls,
    .setDlgItemText = PlatformSetDlgItemText,
    .getDlgItemText = PlatformGetDlgItemText,
    .setStaticText = PlatformSetStaticText,
    .checkDlgButton = PlatformCheckDlgButton,
    .checkRadioButton = PlatformCheckRadioButton,
    .trackbarSetRange = PlatformTrackbarSetRange,
    .trackbarSetPos = PlatformTrackbarSetPos,
    .trackbarSetLineSize = PlatformTrackbarSetLineSize,
    .trackbarSetPageSize = PlatformTrackbarSetPageSize,
    .trackbarGetPos = PlatformTrackbarGetPos,
    .isDlgItem = PlatformIsDlgItem,
    .colorStaticOnButtonFace = PlatformColorStaticOnButtonFace,
    .openLink = PlatformOpenLink,
    .endDialog = PlatformEndDialog,
    .moduleInstance = PlatformModuleInstance,
    .isWin9xFamily = PlatformIsWin9xFamily,
    .charNext = PlatformCharNext,
    .exitProcess = PlatformExitProcess,
    .runGuarded = PlatformRunGuarded,
    .tickCount = PlatformTickCount,
    .sleep = PlatformSleep,
    .readScreenSaveUsePassword = PlatformReadScreenSaveUsePassword,
    .setScreenSaverRunning = PlatformSetScreenSaverRunning,
    .registerWindowMessage = PlatformRegisterWindowMessage,
    .loadLibrary = PlatformLoadLibrary,
    .getLoadedLibrary = PlatformGetLoadedLibrary,
    .getProcAddress = PlatformGetProcAddress,
    .freeLibrary = PlatformFreeLibrary,
    .callVerifyScreenSavePwd = PlatformCallVerifyScreenSavePwd,
    .callPwdChangePassword = PlatformCallPwdChangePassword,
    .callImmAssociateContext = PlatformCallImmAssociateContext,
    // No saver-daemon mode on Windows.
    .catchStopSignals = nullptr,
    .openDaemonWindow = nullptr,
    .readDaemonScreenshot = nullptr,
    .waitDaemonEnd = nullptr,
    .closeDaemonWindow = nullptr,
    .loadPictureFile = nullptr,
};

const Platform& NativePlatform()
{
    return kWin32Platform;
}

Platform platform = kWin32Platform;
