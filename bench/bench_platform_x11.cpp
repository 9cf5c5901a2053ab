// The benchmarks' window and process figures on X11.
#include <X11/Xlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include "bench_platform.h"

namespace {
Display* benchDisplay = nullptr; // the connection that owns the benchmark's window
}

bool CreateBenchWindow(WindowHandle* window, int* width, int* height)
{
    if (!benchDisplay)
        benchDisplay = XOpenDisplay(nullptr);
    if (!benchDisplay)
        return false;
    const int screen = DefaultScreen(benchDisplay);
    *width = DisplayWidth(benchDisplay, screen);
    *height = DisplayHeight(benchDisplay, screen);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(benchDisplay, screen);
    const Window created = XCreateWindow(
        benchDisplay, RootWindow(benchDisplay, screen), 0, 0, *width, *height, 0, CopyFromParent,
        InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(benchDisplay, created);
    XSync(benchDisplay, False);
    *window = static_cast<WindowHandle>(created);
    return true;
}

void DestroyBenchWindow(WindowHandle window)
{
    if (!benchDisplay)
        return;
    if (window)
        XDestroyWindow(benchDisplay, static_cast<Window>(window));
    XCloseDisplay(benchDisplay);
    benchDisplay = nullptr;
}

void PumpBenchMessages() {}

void SyncBenchWindow()
{
    if (benchDisplay)
        XSync(benchDisplay, False);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double PeakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

std::FILE* DivertStandardOutput()
{
    std::fflush(stdout);
    const int copy = dup(STDOUT_FILENO);
    if (copy < 0)
        return nullptr;
    std::FILE* out = fdopen(copy, "w");
    if (!out) {
        close(copy);
        return nullptr;
    }
    if (!std::freopen("/dev/null", "w", stdout)) {
        std::fclose(out);
        return nullptr;
    }
    return out;
}
