// A stand-in for the network provider library's password change, for the
// end-to-end checks under Wine: PwdChangePasswordA logs its arguments to the
// file named by the environment variable BV_WINE_TEST_LOG and reports success.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved)
{
    char path[MAX_PATH];
    if (GetEnvironmentVariableA("BV_WINE_TEST_LOG", path, sizeof(path))) {
        char line[256];
        std::snprintf(line, sizeof(line), "change provider=%s owner=%s flags=%lu reserved=%s\n",
                      provider ? provider : "(null)", IsWindow(owner) ? "window" : "none",
                      static_cast<unsigned long>(flags), reserved ? "set" : "null");
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
            CloseHandle(file);
        }
    }
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
