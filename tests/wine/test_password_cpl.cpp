// A stand-in for the Windows 95 family's password control-panel library:
// VerifyScreenSavePwd refuses the first request and grants every later one,
// and logs each call with the class of the window it was given and the
// system's screen-saver-running state.
#include "test_log.h"

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    static int calls = 0;
    char className[64] = "none";
    GetClassNameA(window, className, sizeof(className));
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    ++calls;
    TestLog("verify %d class=%s running=%d answer=%s\n", calls, className, running ? 1 : 0,
            calls > 1 ? "grant" : "refuse");
    return calls > 1;
}
