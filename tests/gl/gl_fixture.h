// A real X window on $DISPLAY with a GL context made through the platform
// seam, for tests that draw with Mesa. Usage:
//
//   GlWindow window(320, 240);           // window, surface, format, context, viewport
//   ASSERT_TRUE(window.ok());
//   SetupScene(); CreateScreenTexture(); DrawFrame(window.surface());
//   auto rgb = window.ReadPixels();      // bottom row first, RGB bytes
#pragma once

#include <X11/Xlib.h>

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

    // The given buffer (GL_FRONT after a swap, GL_BACK before it) as RGB
    // bytes, bottom row first, as glReadPixels gives them.
    std::vector<uint8_t> ReadPixels(GLenum buffer = GL_FRONT) const
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
