// An X window on $DISPLAY with a GL context made through the platform seam,
// for tests that draw with Mesa.
#pragma once

// GoogleTest first: Xlib defines None and Bool as macros, which its headers use as names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <vector>

#include "platform/gl.h"
#include "platform/gl_surface.h"
#include "render/render_thread.h"

class GlWindow {
  public:
    GlWindow(int width, int height) : width_(width), height_(height)
    {
        display_ = XOpenDisplay(nullptr);
        if (!display_)
            return;
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, width, height, 0,
                                      0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
        surface_ = OpenGlSurface(static_cast<WindowHandle>(window_));
        ChooseSurfaceFormat(surface_);
        if (!CreateGlContext(surface_))
            return;
        int w = 0, h = 0;
        GetGlClientSize(surface_, &w, &h);
        glViewport(0, 0, w, h);
        ok_ = w == width && h == height;
    }
    ~GlWindow()
    {
        CloseGlSurface(surface_);
        if (display_) {
            XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
    }
    bool ok() const { return ok_; }
    GlSurface* surface() const { return surface_; }

    // A colour buffer as RGB bytes, bottom row first. Read GL_BACK before the
    // swap: Mesa's software path does not give the front buffer back.
    std::vector<uint8_t> ReadPixels(GLenum buffer = GL_BACK) const
    {
        std::vector<uint8_t> rgb(static_cast<size_t>(width_) * height_ * 3);
        glFinish();
        glReadBuffer(buffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

  private:
    int width_, height_;
    Display* display_ = nullptr;
    Window window_ = 0;
    GlSurface* surface_ = nullptr;
    bool ok_ = false;
};

// Paints the root window red top left, green top right, blue bottom left and
// white bottom right, in colours allocated for its visual.
inline void PaintRootQuadrants()
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const int screen = DefaultScreen(display);
    const int w = DisplayWidth(display, screen), h = DisplayHeight(display, screen);
    GC gc = XCreateGC(display, RootWindow(display, screen), 0, nullptr);
    const char* names[4] = {"red", "green", "blue", "white"};
    for (int q = 0; q < 4; ++q) {
        XColor colour{}, exact{};
        XAllocNamedColor(display, DefaultColormap(display, screen), names[q], &colour, &exact);
        XSetForeground(display, gc, colour.pixel);
        XFillRectangle(display, RootWindow(display, screen), gc, (q % 2) * (w / 2),
                       (q / 2) * (h / 2), w - w / 2, h - h / 2);
    }
    XFreeGC(display, gc);
    XCloseDisplay(display);
}
