#include "render/render_thread.h"

#include <vector>

#include "core/pixel_format.h"
#include "platform/gl.h"
#include "platform/gl_surface.h"
#include "platform/thread.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

std::atomic<int> renderRunning{0};
PlatformThread* renderThreadHandle = nullptr;

// How often a thread without a context looks for the window closing.
static constexpr int kIdlePollMilliseconds = 10;

bool PriorityLevelFor(int priority, int* level)
{
    switch (priority) {
    case 0:
        *level = -2;
        return true; // lowest
    case 1:
        *level = -1;
        return true; // below normal
    case 2:
        *level = 0;
        return true; // normal
    default:
        return false;
    }
}

void ChooseSurfaceFormat(GlSurface* surface)
{
    // Format numbers start at 1 and end at the first one that cannot be described.
    std::vector<PixelFormatRecord> formats;
    PixelFormatRecord record{};
    while (DescribeGlFormat(surface, static_cast<int>(formats.size()) + 1, &record))
        formats.push_back(record);
    const int best = SetupPixelFormat(formats.data(), static_cast<int>(formats.size()));
    if (best != kUseFallbackFormat)
        SetGlFormat(surface, best);
    else
        SetFallbackGlFormat(surface, kFallbackPixelFormat);
}

void RenderThread(void* argument)
{
    const WindowHandle window = reinterpret_cast<WindowHandle>(argument);
    // Failures are not reported: without a context the thread draws nothing,
    // and the window still closes on input.
    GlSurface* surface = OpenGlSurface(window);
    bool haveContext = false;
    if (surface) {
        ChooseSurfaceFormat(surface);
        haveContext = CreateGlContext(surface);
    }
    if (haveContext) {
        // The window never changes size, so the viewport is set once.
        int width = 0, height = 0;
        GetGlClientSize(surface, &width, &height);
        glViewport(0, 0, width, height);
        // Set-up takes a good part of a second in a software renderer on a
        // busy machine; a window closed meanwhile (a preview whose parent
        // went away) skips what is left of it.
        if (renderRunning.load(std::memory_order_relaxed))
            SetupScene();
        if (renderRunning.load(std::memory_order_relaxed))
            CreateScreenTexture();
        while (renderRunning.load(std::memory_order_relaxed)) {
            DrawFrame(surface, &renderRunning);
            YieldPlatformThread();
        }
        TeardownScene();
    } else {
        // Without a context no GL call may be made (some drivers dereference
        // the missing context); the picture is dropped and the thread idles
        // until the window goes, sleeping so that it holds no processor.
        ReleaseDesktopPixels();
        while (renderRunning.load(std::memory_order_relaxed))
            SleepPlatformThread(kIdlePollMilliseconds);
    }
    CloseGlSurface(surface);
}
