// How much of an explode frame the simulation takes.
//
//   explode_sim CASE [SECONDS]
//
// CASE is "defaults", "defaults-trails", "Explode1" .. "Explode4", "heavy"
// (a 100 x 80 grid with 4 children, far beyond any preset) or "budget" (a
// 1000 x 1000 grid with 999999999 children: the live-piece budget all along). Draws explode
// frames on the display the way the frame does (camera, every piece, every
// move, the step, swap) and clocks the drawing and the simulation (MovePiece
// with its trail record, and ExplodeStep) apart. Then runs the simulation
// alone, without drawing, for whole cycles. Prints one JSON line.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "bench_window.h"
#include "core/random.h"
#include "core/settings.h"
#include "geometry/piece.h"
#include "geometry/wave.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

bool ApplyCase(const std::string& name)
{
    SetDefaultSettings();
    if (name == "defaults")
        return true;
    if (name == "defaults-trails") {
        Settings.useTrails = 1;
        return true;
    }
    if (name == "budget") {
        Settings.x_div = 1000;
        Settings.y_div = 1000;
        Settings.genChildren = 999999999;
        return true;
    }
    if (name == "heavy") {
        Settings.x_div = 100;
        Settings.y_div = 80;
        Settings.genChildren = 4;
        return true;
    }
    const Preset* preset = PresetByCaption(name);
    if (!preset || preset->Mode != 0)
        return false;
    ApplyPresetValues(*preset);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: explode_sim CASE [SECONDS]\n");
        return 2;
    }
    const std::string name = argv[1];
    const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    if (!ApplyCase(name)) {
        std::fprintf(stderr, "explode_sim: unknown case %s\n", name.c_str());
        return 2;
    }
    // The restart line goes to std::cout; keep it out of the JSON output.
    static std::ostringstream discarded; // outlives main: cout flushes at exit
    std::cout.rdbuf(discarded.rdbuf());

    CaptureDesktop(); // before our window covers the desktop
    BenchWindow bench;
    if (!bench.Create()) {
        std::fprintf(stderr, "explode_sim: no display\n");
        return 1;
    }
    if (!bench.OpenSurface()) {
        std::fprintf(stderr, "explode_sim: no GL context\n");
        return 1;
    }
    SetupScene();
    CreateScreenTexture();
    SeedRandom(1);

    double drawSeconds = 0.0, simSeconds = 0.0;
    size_t peakPieces = 0;
    // The explode frame, step by step as the frame draws it, with clocks
    // around the drawing and around the simulation.
    auto frame = [&] {
        BeginFrame();
        const double t0 = WallSeconds();
        for (size_t i = 0; i < pieces.size(); ++i)
            DrawPiece(pieces[i]);
        const double t1 = WallSeconds();
        for (size_t i = 0; i < pieces.size(); ++i)
            MovePiece(pieces[i]);
        ExplodeStep();
        const double t2 = WallSeconds();
        drawSeconds += t1 - t0;
        simSeconds += t2 - t1;
        if (pieces.size() > peakPieces)
            peakPieces = pieces.size();
        StepCamera();
        glPopMatrix();
        glFlush();
        ++frameCounter;
        SwapGlBuffers(bench.surface);
        PumpBenchMessages();
    };
    const double warm0 = WallSeconds();
    frame(); // compiles every piece's list
    const double firstFrameMs = (WallSeconds() - warm0) * 1000.0;
    for (int i = 0; i < 19; ++i)
        frame();
    glFinish();
    drawSeconds = simSeconds = 0.0;

    long frames = 0;
    const double wall0 = WallSeconds(), cpu0 = CpuSeconds();
    double wall1 = wall0;
    do {
        frame();
        ++frames;
        wall1 = WallSeconds();
    } while (wall1 - wall0 < seconds);
    glFinish();
    wall1 = WallSeconds();
    const double cpu1 = CpuSeconds();
    const double frameMs = (wall1 - wall0) * 1000.0 / static_cast<double>(frames);
    const double simMs = simSeconds * 1000.0 / static_cast<double>(frames);
    const double drawMs = drawSeconds * 1000.0 / static_cast<double>(frames);

    // The simulation alone, over whole cycles from a fresh set, as it would
    // run on a machine where drawing cost nothing.
    ClearPieces();
    BuildPieces();
    SeedRandom(2);
    long simFrames = 0, cycles = 0;
    size_t simPeak = 0;
    // A cycle ends when the list turns into a fresh, unlaunched set. A set
    // can stay unlaunched for a few steps (no piece drew its launch yet), so
    // only the turn counts, not every such step.
    bool wasFresh = true;
    const double s0 = WallSeconds();
    while (cycles < 3 && simFrames < 1000000 && WallSeconds() - s0 < seconds) {
        for (size_t i = 0; i < pieces.size(); ++i)
            MovePiece(pieces[i]);
        ExplodeStep();
        if (pieces.size() > simPeak)
            simPeak = pieces.size();
        ++simFrames;
        bool fresh = !pieces.empty();
        for (const Piece* p : pieces)
            fresh = fresh && !p->launched;
        cycles += fresh && !wasFresh ? 1 : 0;
        wasFresh = fresh;
    }
    const double s1 = WallSeconds();

    std::printf("{\"case\":\"sim-%s\",\"width\":%d,\"height\":%d,\"frames\":%ld,\"fps\":%.1f,"
                "\"frame_ms\":%.2f,\"draw_ms\":%.2f,\"sim_ms\":%.3f,\"sim_fraction\":%.4f,"
                "\"cpu_ms_per_frame\":%.2f,\"peak_pieces\":%zu,\"peak_rss_mb\":%.1f,"
                "\"first_frame_ms\":%.1f,\"cycle_frames\":%.0f,\"sim_only_us_per_frame\":%.2f,"
                "\"cycle_peak_pieces\":%zu}\n",
                name.c_str(), bench.width, bench.height, frames, frames / (wall1 - wall0), frameMs,
                drawMs, simMs, simMs / frameMs, (cpu1 - cpu0) * 1000.0 / frames, peakPieces,
                PeakRssMegabytes(), firstFrameMs,
                cycles > 0 ? static_cast<double>(simFrames) / static_cast<double>(cycles) : 0.0,
                (s1 - s0) * 1e6 / static_cast<double>(simFrames), simPeak);
    return 0;
}
