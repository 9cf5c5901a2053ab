// Frame rate of the real render path, unpaced, on the display.
//
//   frame_rate CASE [SECONDS]
//
// CASE is "bare" (clear, one textured quad over the plane, swap: what the
// renderer allows at all), "defaults", "defaults-trails", or a preset caption
// ("Wave1" .. "Wave4", "Explode1" .. "Explode4"). The texture is a photograph
// of the desktop taken before the benchmark's own window covers it, so frames
// show what users see. Every case first draws the bare frame for a while in
// the same process; "bare_share" is the case's frame rate over that one.
// Explode cases start from a freshly cut, seeded set and run whole cycles
// (at least SECONDS), so that runs of different builds draw the same frames.
// Prints one JSON line, and nothing else, on standard output.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
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

// Swallows whatever is written to it: the explode restart line goes to std::cout.
class DiscardBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The settings of a case: the defaults, with a preset's values laid over them.
bool ApplyCase(const std::string& name)
{
    SetDefaultSettings();
    if (name == "bare" || name == "defaults")
        return true;
    if (name == "defaults-trails") {
        Settings.useTrails = 1;
        return true;
    }
    const Preset* preset = PresetByCaption(name);
    if (!preset)
        return false;
    ApplyPresetValues(*preset);
    return true;
}

// The reference frame: the same state and camera as the scene, one quad.
void DrawBareFrame(GlSurface* surface)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, ScreenTexture);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -300.0f);
    glTranslatef(-screenWidth * 0.5f, -screenHeight * 0.5f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float w = static_cast<float>(screenWidth), h = static_cast<float>(screenHeight);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(w, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(w, h, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, h, 0.0f);
    glEnd();
    glPopMatrix();
    glFlush();
    ++frameCounter;
    SwapGlBuffers(surface);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: frame_rate CASE [SECONDS]\n");
        return 2;
    }
    const std::string name = argv[1];
    const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    if (!ApplyCase(name)) {
        std::fprintf(stderr, "frame_rate: unknown case %s\n", name.c_str());
        return 2;
    }
    const bool bare = name == "bare";

    // The JSON goes out through a private copy of standard output, so that
    // nothing the program prints on its way can get between its lines.
    std::FILE* json = DivertStandardOutput();
    if (!json) {
        std::fprintf(stderr, "frame_rate: cannot divert standard output\n");
        return 1;
    }
    static DiscardBuffer discard; // outlives main: cout flushes at exit
    std::cout.rdbuf(&discard);

    CaptureDesktop(); // before our window covers the desktop
    BenchWindow bench;
    if (!bench.Create()) {
        std::fprintf(stderr, "frame_rate: no display\n");
        return 1;
    }
    if (!bench.OpenSurface()) {
        std::fprintf(stderr, "frame_rate: no GL context\n");
        return 1;
    }
    SetupScene();
    CreateScreenTexture();

    const bool explode = !bare && Settings.Mode == 0;
    size_t peakPieces = 0;
    long cycles = 0;
    bool wasFresh = true;
    auto frame = [&](bool drawBare) {
        if (drawBare) {
            DrawBareFrame(bench.surface);
        } else {
            DrawFrame(bench.surface);
            // A cycle ends when the list turns into a fresh, unlaunched set.
            bool fresh = !pieces.empty();
            for (const Piece* p : pieces)
                fresh = fresh && !p->launched;
            cycles += explode && fresh && !wasFresh ? 1 : 0;
            wasFresh = fresh;
        }
        if (pieces.size() > peakPieces)
            peakPieces = pieces.size();
        PumpBenchMessages();
    };
    // The bare frame's rate in this process, for the share.
    double bareFps = 0.0;
    if (!bare) {
        for (int i = 0; i < 10; ++i)
            frame(true);
        glFinish();
        const uint32_t first = frameCounter;
        const double b0 = WallSeconds();
        while (WallSeconds() - b0 < std::max(1.0, seconds * 0.4))
            frame(true);
        glFinish();
        bareFps = (frameCounter - first) / (WallSeconds() - b0);
    }

    for (int i = 0; i < 20; ++i) // warm up: first uploads, caches
        frame(bare);
    if (explode) {
        ClearPieces();
        SeedRandom(1);
        BuildPieces();
        wasFresh = true;
        cycles = 0;
    }
    glFinish();

    const uint32_t firstFrame = frameCounter;
    const double wall0 = WallSeconds(), cpu0 = CpuSeconds();
    double wall1 = wall0;
    bool done = false;
    do { // explode: until the first cycle that ends after SECONDS (at most 10 minutes)
        const long before = cycles;
        frame(bare);
        wall1 = WallSeconds();
        done = wall1 - wall0 >= seconds && (!explode || cycles > before || wall1 - wall0 > 600.0);
    } while (!done);
    glFinish();
    wall1 = WallSeconds();
    const double cpu1 = CpuSeconds();
    const double frames = static_cast<double>(frameCounter - firstFrame);
    const double fps = frames / (wall1 - wall0);
    if (bare)
        bareFps = fps;

    std::fprintf(json,
                 "{\"case\":\"%s\",\"width\":%d,\"height\":%d,\"frames\":%.0f,\"fps\":%.1f,"
                 "\"bare_fps\":%.1f,\"bare_share\":%.3f,\"cycles\":%ld,"
                 "\"cpu_ms_per_frame\":%.2f,\"peak_rss_mb\":%.1f,\"peak_pieces\":%zu,\"mode\":%d,"
                 "\"grid\":\"%gx%g\"}\n",
                 name.c_str(), bench.width, bench.height, frames, fps, bareFps, fps / bareFps,
                 cycles, (cpu1 - cpu0) * 1000.0 / frames, PeakRssMegabytes(), peakPieces,
                 static_cast<int>(Settings.Mode), Settings.x_div, Settings.y_div);
    return std::fclose(json) == 0 ? 0 : 1;
}
