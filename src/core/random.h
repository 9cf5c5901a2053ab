// The scene's random generator: the classic linear congruential sequence
// state = state * 214013 + 2531011 (mod 2^32), value = (state >> 16) & 0x7FFF.
// Implemented here rather than taken from the C library so that one seed
// gives the same explosion on every platform. Used on the render thread only.
#pragma once

#include <cstdint>

constexpr int kRandomMax = 0x7FFF;

void SeedRandom(uint32_t seed);
int NextRandom(); // 0 .. 32767
