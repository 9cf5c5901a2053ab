// One frame: clear, place the camera, draw and advance the grid or the
// pieces, advance the camera movement, present.
#pragma once

#include <atomic>

#include <cstdint>

struct GlSurface;

struct CameraVector {
    float x, y, z;
};

struct CameraStateRecord {
    float rotationX, rotationY, rotationZ; // degrees
    float scale;
    CameraVector translation;
};
extern CameraStateRecord CameraState;

// One triangle-wave oscillator of the camera movement.
struct MovementChannel {
    float low;
    float high;
    float step;          // (high - low) / period, or 0
    float inversePeriod; // 1 / period, or 0
    int32_t phase;
    int32_t period;
    int32_t rising;
};
extern MovementChannel rotationXChannel, rotationYChannel, rotationZChannel, zoomChannel;

// Rotation channel from amplitude and time.
void InitMovementChannel(MovementChannel* channel, float amplitude, float time);
// Zoom channel from amplitude (tenths) and time.
void InitZoomChannel(MovementChannel* channel, float amplitude, float time);
// This frame's value; advances the channel.
float StepMovementChannel(MovementChannel* channel);
// Resets the camera to rotations 0, scale 1, translation (0, 0, -300).
void ResetCamera();

// The start of every frame: clears, binds the screen texture, pushes the
// model-view matrix and places the camera with the plane's centre as pivot,
// and sets the colour to white. The frame pops the matrix when it is drawn.
void BeginFrame();
// Advances the camera's rotations and scale by one frame while the movement is on.
void StepCamera();

// Draws one frame and presents it on surface (null: no swap). When keepDrawing
// is given and reads 0 between two pieces or grid rows (the window is closing), the frame
// is left unfinished and not presented: a frame of many thousands of pieces
// takes seconds in a software renderer, and the saver must end promptly.
void DrawFrame(GlSurface* surface, const std::atomic<int>* keepDrawing = nullptr);
