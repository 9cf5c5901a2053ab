// A stand-in for the network provider library's password change: logs its
// arguments and reports success.
#include "test_log.h"

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved)
{
    TestLog("change provider=%s owner=%s flags=%lu reserved=%s\n", provider ? provider : "(null)",
            IsWindow(owner) ? "window" : "none", static_cast<unsigned long>(flags),
            reserved ? "set" : "null");
    return 0;
}
