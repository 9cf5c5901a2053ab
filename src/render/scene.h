// The one-time scene set-up on the render thread: desktop size, random seed,
// geometry, sparkle clouds, camera movement, projection and fixed GL state.
#pragma once

#include "geometry/plane.h"
#include "geometry/sparkle.h"

extern const float projectionAspect; // 640 / 480 whatever the screen

// Sets up the whole scene; needs a current GL context.
void SetupScene();
// Releases everything the scene holds, in one place: the pieces, the grid
// arrays, the sparkle clouds and the screen texture, and rewinds the frame
// counter, so that the next SetupScene in this process starts clean. Needs
// the context SetupScene ran on; the render thread calls it before the
// surface goes.
void TeardownScene();
