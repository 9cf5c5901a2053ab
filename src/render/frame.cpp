#include "render/frame.h"

#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/piece.h"
#include "geometry/wave.h"
#include "platform/gl.h"
#include "platform/gl_surface.h"
#include "render/capture.h"
#include "render/scene.h"

CameraStateRecord CameraState = {0.0f, 0.0f, 0.0f, 1.0f, {0.0f, 0.0f, -300.0f}};
MovementChannel rotationXChannel, rotationYChannel, rotationZChannel, zoomChannel;

// A time setting as the channel's whole period. Values outside the int range
// (or not a number) give period 0, a constant channel, rather than an
// undefined conversion.
static int32_t PeriodFromTime(float time)
{
    if (!(time > -2147483520.0f && time < 2147483520.0f))
        return 0;
    return static_cast<int32_t>(time);
}

void InitMovementChannel(MovementChannel* channel, float amplitude, float time)
{
    channel->low = -amplitude;
    channel->high = amplitude;
    channel->rising = 1;
    channel->period = PeriodFromTime(time);
    channel->phase = channel->period / 2;
    channel->inversePeriod =
        channel->period != 0 ? 1.0f / static_cast<float>(channel->period) : 0.0f;
    channel->step = channel->period != 0
                        ? (channel->high - channel->low) / static_cast<float>(channel->period)
                        : 0.0f;
}

void InitZoomChannel(MovementChannel* channel, float amplitude, float time)
{
    channel->high = amplitude * 0.1f;
    channel->low = 1.0f / channel->high; // a zoom of 0 gives +inf here and step 0 below
    channel->rising = 1;
    channel->period = PeriodFromTime(time);
    channel->phase = channel->period / 2;
    channel->inversePeriod =
        channel->period != 0 ? 1.0f / static_cast<float>(channel->period) : 0.0f;
    channel->step = channel->period != 0 && channel->high > channel->low
                        ? (channel->high - channel->low) / static_cast<float>(channel->period)
                        : 0.0f;
}

float StepMovementChannel(MovementChannel* channel)
{
    if (channel->step == 0.0f)
        return channel->high;
    const float value = static_cast<float>(channel->phase) * channel->inversePeriod * channel->step;
    // The phase moves in 32-bit wrap-around arithmetic, so a channel that ran
    // for ever at an absurd amplitude cannot overflow a signed integer.
    if (channel->rising) {
        if (value > channel->high)
            channel->rising = 0;
        channel->phase = static_cast<int32_t>(static_cast<uint32_t>(channel->phase) + 1u);
    } else {
        if (value < channel->low)
            channel->rising = 1;
        channel->phase = static_cast<int32_t>(static_cast<uint32_t>(channel->phase) - 1u);
    }
    return value;
}

void ResetCamera()
{
    CameraState.rotationX = 0.0f;
    CameraState.rotationY = 0.0f;
    CameraState.rotationZ = 0.0f;
    CameraState.scale = 1.0f;
    CameraState.translation = {0.0f, 0.0f, -300.0f};
}

void BeginFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, ScreenTexture);
    glPushMatrix();
    glTranslatef(CameraState.translation.x, CameraState.translation.y, CameraState.translation.z);
    glRotatef(CameraState.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(CameraState.rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(CameraState.rotationZ, 0.0f, 0.0f, 1.0f);
    glScalef(CameraState.scale, CameraState.scale, CameraState.scale);
    glTranslatef(-static_cast<float>(screenWidth) * 0.5f, -static_cast<float>(screenHeight) * 0.5f,
                 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void StepCamera()
{
    if (Settings.enableMovement) {
        CameraState.rotationX = StepMovementChannel(&rotationXChannel);
        CameraState.rotationY = StepMovementChannel(&rotationYChannel);
        CameraState.rotationZ = StepMovementChannel(&rotationZChannel);
        CameraState.scale = StepMovementChannel(&zoomChannel);
    }
}

void DrawFrame(GlSurface* surface, const std::atomic<int>* keepDrawing)
{
    BeginFrame();
    if (Settings.Mode == 0) {
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (keepDrawing && keepDrawing->load(std::memory_order_relaxed) == 0) {
                glPopMatrix();
                return;
            }
            DrawPiece(pieces[i]);
        }
        for (size_t i = 0; i < pieces.size(); ++i)
            MovePiece(pieces[i]);
        ExplodeStep();
    } else {
        if (!DrawGrid(keepDrawing)) {
            glPopMatrix();
            return;
        }
        AdvanceWave();
    }
    StepCamera();

    glPopMatrix();
    glFlush();
    ++frameCounter; // unsigned: wraps to 0 after 2^32 - 1
    if (surface)
        SwapGlBuffers(surface);
}
