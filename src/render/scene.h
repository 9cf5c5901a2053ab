// The one-time scene set-up on the render thread: desktop size, random seed,
// geometry, sparkle clouds, camera movement, projection and fixed GL state.
#pragma once

#include "geometry/plane.h"
#include "geometry/sparkle.h"

extern const float projectionAspect; // 640 / 480 whatever the screen

// Sets up the whole scene; needs a current GL context.
void SetupScene();
