#include "render/paced_render.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/gl.h"
#include "platform/gl_surface.h"
#include "platform/thread.h"
#include "render/capture.h"
#include "render/fps_overlay.h"
#include "render/frame.h"
#include "render/render_thread.h"
#include "render/scene.h"

namespace {

// A long pause is slept in slices, so that a stop is seen within one slice.
constexpr long kPauseSliceMicros = 10000;

bool Running()
{
    return renderRunning.load(std::memory_order_relaxed) != 0;
}

void Pause(long micros)
{
    while (micros > 0 && Running()) {
        const long slice = std::min(micros, kPauseSliceMicros);
        std::this_thread::sleep_for(std::chrono::microseconds(slice));
        micros -= slice;
    }
}

} // namespace

int64_t SteadyNanos()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PacedRenderThread(void* argument)
{
    PacedRender* render = static_cast<PacedRender*>(argument);
    GlSurface* surface = OpenGlSurface(render->window);
    render->pictureReady.wait(false, std::memory_order_acquire);
    bool haveContext = false;
    if (surface) {
        ChooseSurfaceFormat(surface);
        haveContext = CreateGlContext(surface);
    }
    if (!haveContext || !Running()) {
        // Nothing can be drawn, or a stop came while the context was made
        // (the slowest step of the start): drop the picture and wait for the stop.
        ReleaseDesktopPixels();
        while (Running())
            Pause(kPauseSliceMicros);
        CloseGlSurface(surface);
        return;
    }
    int width = 0, height = 0;
    GetGlClientSize(surface, &width, &height);
    glViewport(0, 0, width, height);
    uint64_t applied = PackSize(width, height);
    SetupScene();
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
    // The scene's display lists and texture belong to this context: free them
    // while it is current. This mode returns from main, and nothing may be left
    // behind then.
    TeardownScene();
    CloseGlSurface(surface);
}
