// Prints the DPI awareness that the system keeps for another program's
// top-level window, found by its title: "window dpi: awareness N" with
// 0 unaware, 1 system-aware, 2 per-monitor aware; exit 1 without the window.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    HWND window = argc > 1 ? FindWindowA(nullptr, argv[1]) : nullptr;
    if (window == nullptr)
        return 1;
    const DPI_AWARENESS awareness =
        GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(window));
    std::printf("window dpi: awareness %d\n", static_cast<int>(awareness));
    return 0;
}
