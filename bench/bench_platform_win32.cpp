// The benchmarks' window and process figures on Windows: a popup window of
// the benchmark's own class, the process's times and memory counters.
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include "bench_platform.h"

namespace {

const wchar_t kBenchClass[] = L"BrittleviewBench";

LRESULT CALLBACK BenchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1; // GL covers every pixel
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

double FileTimeSeconds(const FILETIME& time)
{
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 1e-7; // 100 ns units
}

} // namespace

bool CreateBenchWindow(WindowHandle* window, int* width, int* height)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kBenchClass;
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    HWND hwnd =
        CreateWindowExW(WS_EX_TOPMOST, kBenchClass, L"Brittleview bench", WS_POPUP | WS_VISIBLE, 0,
                        0, *width, *height, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return false;
    UpdateWindow(hwnd);
    PumpBenchMessages();
    *window = reinterpret_cast<WindowHandle>(hwnd);
    return true;
}

void DestroyBenchWindow(WindowHandle window)
{
    if (window)
        DestroyWindow(reinterpret_cast<HWND>(window));
    PumpBenchMessages();
}

void PumpBenchMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void SyncBenchWindow()
{
    GdiFlush();
    PumpBenchMessages();
}

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0.0;
    return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

double PeakRssMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0.0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::FILE* DivertStandardOutput()
{
    std::fflush(stdout);
    const int copy = _dup(_fileno(stdout));
    if (copy < 0)
        return nullptr;
    _setmode(copy, _O_BINARY); // "\n" ends a line, as on Linux
    std::FILE* out = _fdopen(copy, "wb");
    if (!out) {
        _close(copy);
        return nullptr;
    }
    if (!std::freopen("NUL", "w", stdout)) {
        std::fclose(out);
        return nullptr;
    }
    return out;
}
