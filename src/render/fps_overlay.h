// The frame rate, written in the lower left corner of the picture with a
// small built-in bitmap font (GL 1.1 bitmaps in display lists). Nothing is
// allocated per frame.
#pragma once

#include "platform/gl.h"

class FpsOverlay {
  public:
    // Compiles the glyphs; needs the current GL context.
    void Create();
    // Frees the glyphs' display lists; needs the context Create had.
    void Release();
    // Counts a frame at time seconds (any steady clock) and, once a second,
    // recomputes the rate shown.
    void CountFrame(double seconds);
    // Draws the text over the frame in a viewport of width x height pixels.
    void Draw(int width, int height) const;
    const char* Text() const { return text_; }

  private:
    GLuint listBase_ = 0;
    double windowStart_ = -1.0;
    int framesInWindow_ = 0;
    char text_[24] = "FPS: -";
};
