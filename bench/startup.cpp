// Start-up time: from the saver window's creation to the first frame on
// screen, the way the saver starts (capture, surface, scene, texture, frame),
// and the capture plus texture upload alone.
//
//   startup TEXTURE_WIDTH TEXTURE_HEIGHT
//
// Prints one JSON line.
#include <cstdio>
#include <cstdlib>

#include "bench_window.h"
#include "core/settings.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

int main(int argc, char** argv)
{
    SetDefaultSettings();
    if (argc > 2) {
        Settings.screenTextureWidth = std::atoi(argv[1]);
        Settings.screenTextureHeight = std::atoi(argv[2]);
    }

    const double start = WallSeconds();
    BenchWindow bench;
    if (!bench.Create()) {
        std::fprintf(stderr, "startup: no display\n");
        return 1;
    }
    const double captureStart = WallSeconds();
    CaptureDesktop();
    const double captureEnd = WallSeconds();
    if (!bench.OpenSurface()) {
        std::fprintf(stderr, "startup: no GL context\n");
        return 1;
    }
    const double contextReady = WallSeconds();
    SetupScene();
    const double uploadStart = WallSeconds();
    CreateScreenTexture();
    glFinish();
    const double uploadEnd = WallSeconds();
    DrawFrame(bench.surface);
    glFinish();
    SyncBenchWindow();
    const double firstFrame = WallSeconds();

    std::printf(
        "{\"case\":\"startup-%dx%d\",\"width\":%d,\"height\":%d,\"fps\":null,"
        "\"cpu_ms_per_frame\":null,\"peak_rss_mb\":%.1f,\"startup_ms\":%.1f,"
        "\"capture_ms\":%.1f,\"upload_ms\":%.1f,\"capture_upload_ms\":%.1f,"
        "\"window_ms\":%.1f,\"context_ms\":%.1f,\"scene_ms\":%.1f,\"first_frame_ms\":%.1f}\n",
        Settings.screenTextureWidth, Settings.screenTextureHeight, bench.width, bench.height,
        PeakRssMegabytes(), (firstFrame - start) * 1000.0, (captureEnd - captureStart) * 1000.0,
        (uploadEnd - uploadStart) * 1000.0,
        (captureEnd - captureStart + uploadEnd - uploadStart) * 1000.0,
        (captureStart - start) * 1000.0, (contextReady - captureEnd) * 1000.0,
        (uploadStart - contextReady) * 1000.0, (firstFrame - uploadEnd) * 1000.0);
    return 0;
}
