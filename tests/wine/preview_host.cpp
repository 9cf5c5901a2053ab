// Plays the display control panel for the end-to-end checks: makes a small
// window, starts the saver given on the command line with "/p <window>" to
// draw a preview inside it, checks the preview child, then destroys its
// window and expects the saver to end by itself with exit code 0.
//
//   preview_host.exe SAVER.scr
//
// Prints what it finds; exits 0 when every step went as expected.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    } while (GetTickCount() - start < milliseconds);
}

int Fail(const char* what)
{
    std::printf("preview host: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Fail("usage: preview_host SAVER.scr");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "BvPreviewHost";
    RegisterClassA(&windowClass);
    HWND host = CreateWindowExA(0, "BvPreviewHost", "preview host", WS_POPUP | WS_VISIBLE, 100, 100,
                                200, 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!host)
        return Fail("no host window");
    Pump(200);

    std::string commandLine =
        std::string("\"") + argv[1] + "\" /p " + std::to_string(reinterpret_cast<uintptr_t>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return Fail("the saver did not start");

    HWND preview = nullptr;
    for (int i = 0; i < 150 && !preview; ++i) {
        Pump(100);
        preview = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
    }
    if (!preview) {
        TerminateProcess(process.hProcess, 1);
        return Fail("no preview window inside the host");
    }
    // The window is found while its creation (the desktop capture, the
    // render thread's start) is still running; WS_VISIBLE shows it only once
    // creation has returned.
    for (int i = 0; i < 100 && !IsWindowVisible(preview); ++i)
        Pump(100);
    RECT hostRect, previewRect;
    GetClientRect(host, &hostRect);
    GetClientRect(preview, &previewRect);
    std::printf("preview host: preview %ldx%ld in a %ldx%ld window, style %08lx\n",
                previewRect.right, previewRect.bottom, hostRect.right, hostRect.bottom,
                static_cast<unsigned long>(GetWindowLongA(preview, GWL_STYLE)));
    bool ok =
        previewRect.right == hostRect.right && previewRect.bottom == hostRect.bottom &&
        GetParent(preview) == host &&
        (GetWindowLongA(preview, GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE);

    // A key press in the preview is no reason to close it.
    PostMessageA(preview, WM_KEYDOWN, VK_SPACE, 0);
    Pump(1500);
    if (!IsWindow(preview))
        ok = !Fail("a key press closed the preview");

    // The host goes, and the preview with it; the saver then ends by itself.
    DestroyWindow(host);
    DWORD exitCode = 1234;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
        std::printf("preview host: the saver ended with %lu\n",
                    static_cast<unsigned long>(exitCode));
    } else {
        TerminateProcess(process.hProcess, 1);
        std::printf("preview host: the saver did not end with its window\n");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok && exitCode == 0 ? 0 : 1;
}
