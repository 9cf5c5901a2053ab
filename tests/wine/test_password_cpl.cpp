// A stand-in for the Windows 95 family's password control-panel library, for
// the end-to-end checks under Wine. VerifyScreenSavePwd refuses the first
// request and grants every later one, and logs each call (with the class of
// the window it was given and the system's screen-saver-running state) to the
// file named by the environment variable BV_WINE_TEST_LOG.
#include <windows.h>

#include <cstdio>

namespace {

int calls = 0;

void Log(const char* line)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("BV_WINE_TEST_LOG", path, sizeof(path)))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    ++calls;
    char className[64] = "none";
    GetClassNameA(window, className, sizeof(className));
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    const BOOL grant = calls > 1;
    char line[256];
    std::snprintf(line, sizeof(line), "verify %d class=%s running=%d answer=%s\n", calls, className,
                  running ? 1 : 0, grant ? "grant" : "refuse");
    Log(line);
    return grant;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
