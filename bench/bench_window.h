// Shared by the benchmarks: a full-screen X window with a GL surface made the
// way the render thread makes it, clocks, the process's peak memory, and the
// built-in presets by caption.
#pragma once

#include <X11/Xlib.h>
#include <sys/resource.h>

#include <chrono>
#include <string>

#include "config/presets.h"
#include "core/render_thread.h"
#include "core/settings.h"
#include "platform/gl.h"
#include "platform/gl_surface.h"

struct BenchWindow {
    Display* display = nullptr;
    Window window = 0;
    GlSurface* surface = nullptr;
    int width = 0, height = 0;

    // Creates and maps a window covering the screen (no surface yet).
    bool Create()
    {
        display = XOpenDisplay(nullptr);
        if (!display)
            return false;
        const int screen = DefaultScreen(display);
        width = DisplayWidth(display, screen);
        height = DisplayHeight(display, screen);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, screen);
        window = XCreateWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                               CopyFromParent, InputOutput, CopyFromParent,
                               CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow(display, window);
        XSync(display, False);
        return true;
    }
    // The render thread's start: surface, format, context, viewport.
    bool OpenSurface()
    {
        surface = OpenGlSurface(static_cast<WindowHandle>(window));
        if (!surface)
            return false;
        ChooseSurfaceFormat(surface);
        if (!CreateGlContext(surface))
            return false;
        int w = 0, h = 0;
        GetGlClientSize(surface, &w, &h);
        glViewport(0, 0, w, h);
        return true;
    }
    ~BenchWindow()
    {
        CloseGlSurface(surface);
        if (display) {
            XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
    }
};

inline double WallSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of the whole process (all threads, Mesa's included).
inline double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

inline double PeakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The built-in preset with this caption, or null.
inline const Preset* PresetByCaption(const std::string& caption)
{
    for (const Preset& preset : kPresets)
        if (caption == preset.caption)
            return &preset;
    return nullptr;
}
