// The Wayland backend's decisions that need no compositor: which output
// carries the scene, and how a screencopy buffer becomes the screen texture's
// bytes. Plain functions over plain values, so they can be checked alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One output as the scene choice sees it: its size in pixels.
struct OutputPixels {
    int width;
    int height;
};

// The index of the output the scene is drawn on: the largest by pixel count,
// the first listed on a tie. -1 when the list is empty.
int ChooseSceneOutput(const std::vector<OutputPixels>& outputs);

// The shared-memory pixel formats a screencopy buffer may come in
// (the wl_shm format codes): 32-bit little-endian words.
constexpr uint32_t kShmArgb8888 = 0;
constexpr uint32_t kShmXrgb8888 = 1;
constexpr uint32_t kShmAbgr8888 = 0x34324241; // 'AB24'
constexpr uint32_t kShmXbgr8888 = 0x34324258; // 'XB24'

// True for the formats ScreencopyToBgr reads.
bool ScreencopyFormatKnown(uint32_t format);

// A screencopy buffer: rows of stride bytes, top row first unless yInvert
// (then the first row in memory is the bottom of the output).
struct ScreencopyImage {
    const uint8_t* data;
    uint32_t format;
    int width;
    int height;
    int stride;
    bool yInvert;
};

// Scales the image to width x height blue-green-red bytes, top row first, by
// the nearest-neighbour rule every capture follows (platform/screen.h). false
// for an unknown format, an empty image or a non-positive size.
bool ScreencopyToBgr(const ScreencopyImage& image, int width, int height, uint8_t* out);

// The name of the lock file that marks a running full-screen saver in one
// Wayland session: inside runtimeDir, keyed by the display's name (whose
// slashes become underscores). Empty when either is missing.
std::string SaverLockPath(const char* runtimeDir, const char* waylandDisplay);
