#include "render/render_thread.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "core/pixel_format.h"
#include "platform/gl.h"
#include "platform/gl_surface.h"
#include "platform/thread.h"
#include "render/capture.h"
#include "render/fps_overlay.h"
#include "render/frame.h"
#include "render/paced_render.h"
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

namespace {

bool Running()
{
    return renderRunning.load(std::memory_order_relaxed) != 0;
}

// A pause of micros, slept in slices so that a stop is seen within one.
void Pause(long micros)
{
    while (micros > 0 && Running()) {
        const long slice = std::min<long>(micros, kIdlePollMilliseconds * 1000);
        std::this_thread::sleep_for(std::chrono::microseconds(slice));
        micros -= slice;
    }
}

// The one drawing loop of both render threads: surface, pixel format,
// context, viewport, scene, texture, frames until renderRunning is cleared,
// teardown. What differs is in the PacedRender: the wait for the picture, the
// size to follow, the pause after each frame and the frame-rate overlay.
void DrawUntilStopped(PacedRender* render)
{
    GlSurface* surface = OpenGlSurface(render->window);
    render->pictureReady.wait(false, std::memory_order_acquire);
    bool haveContext = false;
    if (surface) {
        ChooseSurfaceFormat(surface);
        haveContext = CreateGlContext(surface);
    }
    if (!haveContext || !Running()) {
        // Without a context no GL call may be made (some drivers dereference
        // the missing context), and a stop while it was made (the slowest step
        // of the start) leaves nothing to draw: the picture is dropped and the
        // thread idles until the stop, sleeping so that it holds no processor.
        // Failures are not reported: the window still closes as it should.
        ReleaseDesktopPixels();
        while (Running())
            SleepPlatformThread(kIdlePollMilliseconds);
        CloseGlSurface(surface);
        return;
    }
    int width = 0, height = 0;
    GetGlClientSize(surface, &width, &height);
    glViewport(0, 0, width, height);
    uint64_t applied = PackSize(width, height);
    // Set-up takes a good part of a second in a software renderer on a busy
    // machine; a window closed meanwhile (a preview whose parent went away)
    // skips what is left of it.
    if (Running())
        SetupScene();
    if (Running())
        CreateScreenTexture();
    FpsOverlay fps;
    if (render->showFps)
        fps.Create();
    while (Running()) {
        const uint64_t wanted = render->size.load(std::memory_order_relaxed);
        if (wanted != 0 && wanted != applied) {
            width = static_cast<int>(wanted >> 32);
            height = static_cast<int>(wanted & 0xFFFFFFFFu);
            ResizeGlSurface(surface, width, height);
            glViewport(0, 0, width, height);
            applied = wanted;
        }
        DrawFrame(nullptr, &renderRunning); // swapped below, after the overlay
        if (render->showFps) {
            fps.CountFrame(static_cast<double>(SteadyNanos()) * 1e-9);
            fps.Draw(width, height);
        }
        SwapGlBuffers(surface);
        if (render->firstFrameNanos.load(std::memory_order_relaxed) == 0)
            render->firstFrameNanos.store(SteadyNanos(), std::memory_order_relaxed);
        if (render->delayMicros > 0)
            Pause(render->delayMicros);
        else
            YieldPlatformThread();
    }
    // The display lists and texture belong to this context: free them while
    // it is current (the saver-daemon mode returns from main, and nothing may
    // be left behind then).
    fps.Release();
    TeardownScene();
    CloseGlSurface(surface);
}

} // namespace

int64_t SteadyNanos()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void RenderThread(void* argument)
{
    // The saver window: its picture is ready before the thread starts, and
    // its size never changes.
    PacedRender render;
    render.window = reinterpret_cast<WindowHandle>(argument);
    render.pictureReady.store(true, std::memory_order_relaxed);
    DrawUntilStopped(&render);
}

void PacedRenderThread(void* argument)
{
    DrawUntilStopped(static_cast<PacedRender*>(argument));
}
