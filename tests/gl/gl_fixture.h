// A real X window on $DISPLAY with a GL context made through the platform
// seam, for tests that draw with Mesa. Usage:
//
//   GlWindow window(320, 240);           // window, surface, format, context, viewport
//   ASSERT_TRUE(window.ok());
//   SetupScene(); CreateScreenTexture(); DrawFrame(window.surface());
//   auto shown = window.ReadWindow();    // what the swap put on screen, top row first
//   auto back = window.ReadPixels();     // the back buffer, before any swap
#pragma once

// GoogleTest first: Xlib defines None and Bool as macros, which its headers use as names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <vector>

#include "core/render_thread.h"
#include "platform/gl.h"
#include "platform/gl_surface.h"

class GlWindow {
  public:
    GlWindow(int width, int height) : width_(width), height_(height)
    {
        display_ = XOpenDisplay(nullptr);
        if (!display_)
            return;
        XSetWindowAttributes attributes{};
        attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
        attributes.override_redirect = True;
        window_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, width, height, 0,
                                CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel | CWOverrideRedirect, &attributes);
        XMapWindow(display_, window_);
        XSync(display_, False);
        surface_ = OpenGlSurface(static_cast<WindowHandle>(window_));
        if (!surface_)
            return;
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
            if (window_)
                XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
    }
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    bool ok() const { return ok_; }
    GlSurface* surface() const { return surface_; }
    WindowHandle window() const { return static_cast<WindowHandle>(window_); }
    Display* display() const { return display_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // A colour buffer as RGB bytes, bottom row first, as glReadPixels gives
    // them. Read GL_BACK before the swap: Mesa's software path does not give
    // the front buffer back through glReadPixels (use ReadWindow for that).
    std::vector<uint8_t> ReadPixels(GLenum buffer = GL_BACK) const
    {
        std::vector<uint8_t> rgb(static_cast<size_t>(width_) * height_ * 3);
        glFinish();
        glReadBuffer(buffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    // The window's pixels as the X server holds them (after a swap), as RGB
    // bytes, top row first; empty on failure.
    std::vector<uint8_t> ReadWindow() const
    {
        glFinish();
        XSync(display_, False);
        std::vector<uint8_t> rgb;
        XImage* image = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(width_),
                                  static_cast<unsigned>(height_), AllPlanes, ZPixmap);
        if (!image)
            return rgb;
        rgb.resize(static_cast<size_t>(width_) * height_ * 3);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                uint8_t* out = &rgb[(static_cast<size_t>(y) * width_ + x) * 3];
                out[0] = static_cast<uint8_t>((pixel & image->red_mask) * 255 / image->red_mask);
                out[1] =
                    static_cast<uint8_t>((pixel & image->green_mask) * 255 / image->green_mask);
                out[2] = static_cast<uint8_t>((pixel & image->blue_mask) * 255 / image->blue_mask);
            }
        }
        XDestroyImage(image);
        return rgb;
    }

  private:
    int width_, height_;
    Display* display_ = nullptr;
    Window window_ = 0;
    GlSurface* surface_ = nullptr;
    bool ok_ = false;
};
