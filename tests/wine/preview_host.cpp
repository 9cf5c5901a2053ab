// Plays the display control panel: makes a small window, starts the saver
// given on the command line with "/p <window>" to draw a preview inside it,
// checks the preview child, then destroys its window and expects the saver to
// end by itself with exit code 0. Prints what it finds; exits 0 when every
// step went as expected.
//
//   preview_host.exe SAVER.scr
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Pump(DWORD milliseconds)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(20)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

} // namespace

int main(int argc, char** argv)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BvPreviewHost";
    RegisterClassA(&windowClass);
    HWND host = CreateWindowExA(0, "BvPreviewHost", "preview host", WS_POPUP | WS_VISIBLE, 100, 100,
                                200, 150, nullptr, nullptr, windowClass.hInstance, nullptr);
    Pump(200);
    std::string line = std::string("\"") + (argc > 1 ? argv[1] : "") + "\" /p " +
                       std::to_string(reinterpret_cast<uintptr_t>(host));
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!host || !CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process)) {
        std::puts("preview host: no host window, or the saver did not start");
        return 1;
    }
    // The window is found while its creation (the desktop capture, the render
    // thread's start) is still running; WS_VISIBLE shows it once that returns.
    HWND preview = nullptr;
    for (int i = 0; i < 250 && !(preview && IsWindowVisible(preview)); ++i, Pump(100))
        preview = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
    RECT hostRect{}, previewRect{};
    GetClientRect(host, &hostRect);
    GetClientRect(preview, &previewRect);
    const LONG style = GetWindowLongA(preview, GWL_STYLE);
    std::printf("preview host: preview %ldx%ld in a %ldx%ld window, style %08lx\n",
                previewRect.right, previewRect.bottom, hostRect.right, hostRect.bottom,
                static_cast<unsigned long>(style));
    bool ok = preview && previewRect.right == hostRect.right &&
              previewRect.bottom == hostRect.bottom && GetParent(preview) == host &&
              (style & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE);
    // A key press in the preview is no reason to close it.
    PostMessageA(preview, WM_KEYDOWN, VK_SPACE, 0);
    Pump(1500);
    if (!IsWindow(preview)) {
        std::puts("preview host: no preview window, or a key press closed it");
        ok = false;
    }
    // The host goes, and the preview with it; the saver then ends by itself.
    DestroyWindow(host);
    DWORD exitCode = 1234;
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("preview host: the saver ended with %lu\n", static_cast<unsigned long>(exitCode));
    return ok && exitCode == 0 ? 0 : 1;
}
