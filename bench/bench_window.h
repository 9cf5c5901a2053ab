// Shared by the benchmarks: a window covering the screen with a GL surface
// made the way the render thread makes it, clocks, and the built-in presets by
// caption. The window system's part is in bench_platform.h.
#pragma once

#include <chrono>
#include <string>

#include "bench_platform.h"
#include "config/presets.h"
#include "core/settings.h"
#include "platform/gl.h"
#include "platform/gl_surface.h"
#include "render/render_thread.h"

struct BenchWindow {
    WindowHandle window = 0;
    GlSurface* surface = nullptr;
    int width = 0, height = 0;

    // Creates and shows a window covering the screen (no surface yet).
    bool Create() { return CreateBenchWindow(&window, &width, &height); }
    // The render thread's start: surface, format, context, viewport.
    bool OpenSurface()
    {
        surface = OpenGlSurface(window);
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
        DestroyBenchWindow(window);
    }
};

inline double WallSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The built-in preset with this caption, or null.
inline const Preset* PresetByCaption(const std::string& caption)
{
    for (const Preset& preset : kPresets)
        if (caption == preset.caption)
            return &preset;
    return nullptr;
}
