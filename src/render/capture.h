// The desktop picture: captured once on the window thread, uploaded once as
// the ScreenTexture on the render thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/gl.h"

// Largest texture side the capture accepts; larger (or non-positive) sizes give no picture.
constexpr int kMaxCaptureSide = 16384;

// screenTextureWidth x screenTextureHeight x 3 bytes, blue-green-red, top row
// first; null when there is no picture. Allocated by CaptureDesktop, freed by
// CreateScreenTexture.
extern uint8_t* desktopPixels;
extern GLuint ScreenTexture;

// Byte size of a width x height BGR picture, or 0 when the size is not
// positive or a side exceeds kMaxCaptureSide.
size_t CaptureByteCount(int width, int height);

// Replaces desktopPixels with a picture at the texture size that fill writes
// (blue, green, red bytes, top row first); no picture when the size is out of
// range, memory is short or fill returns false.
void FillDesktopPixels(const std::function<bool(int width, int height, uint8_t* bgr)>& fill);
// Photographs the primary screen into desktopPixels at the texture size.
void CaptureDesktop();
// Frees desktopPixels (if any) and sets it to null.
void ReleaseDesktopPixels();
// Uploads desktopPixels into ScreenTexture with mipmaps, frees them, leaves the texture bound.
void CreateScreenTexture();
// Deletes ScreenTexture (on the context that created it) and sets it to 0.
void DeleteScreenTexture();
