// The one-time scene set-up on the render thread: desktop size, random seed,
// geometry, sparkle clouds, camera movement, projection and fixed GL state.
#pragma once

#include <cstdint>

#include "platform/gl.h"

struct FloatPair {
    float x, y;
};

extern int screenWidth;              // desktop width in pixels = plane width in scene units
extern int screenHeight;             // desktop height in pixels
extern FloatPair waveCentre;         // (screenWidth / 2, screenHeight / 2), halves truncated
extern const float projectionAspect; // 640 / 480 whatever the screen

constexpr int kSparkleListCount = 1000;
extern GLuint SparkleLists[kSparkleListCount];

// Sets up the whole scene; needs a current GL context.
void SetupScene();
// Compiles the 1000 point-cloud display lists from the random generator.
void BuildSparkleLists();

// Points of sparkle cloud `index` with mean cell size `cell`, drawn from the
// random generator exactly as BuildSparkleLists does. Writes x, y, z triples
// into out (room for kMaxSparklePoints) and returns the count.
constexpr int kMaxSparklePoints = 15;
int SparklePoints(int index, float cell, float* out);
