// The desktop plane the scene is built on: one scene unit per desktop pixel.
// Set once per scene by SetupScene, read by the grid, the pieces, the wave and the camera.
#pragma once

struct FloatPair {
    float x, y;
};

extern int screenWidth;      // desktop width in pixels = plane width in scene units
extern int screenHeight;     // desktop height in pixels
extern FloatPair waveCentre; // (screenWidth / 2, screenHeight / 2), halves truncated

// Sets the plane's size and puts the wave centre in its middle.
void SetPlaneSize(int width, int height);
