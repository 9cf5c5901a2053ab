// The primary screen on X11: the default screen's root window. The picture is
// read with one XGetImage of the whole root window and then scaled by nearest
// neighbour, one source read per destination pixel, which gives the bytes a
// per-pixel read of a scaled copy would give.
#include "platform/x11/x11_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/x11/x11_image.h"

namespace {

// A connection of our own for the duration of one call, so that no other
// thread's connection is used from here.
struct Connection {
    Display* display = XOpenDisplay(nullptr);
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
};

} // namespace

void X11GetPrimaryScreenSize(int* width, int* height)
{
    *width = 0;
    *height = 0;
    Connection connection;
    if (!connection.display)
        return;
    const int screen = DefaultScreen(connection.display);
    *width = DisplayWidth(connection.display, screen);
    *height = DisplayHeight(connection.display, screen);
}

bool X11CapturePrimaryScreen(int width, int height, uint8_t* out)
{
    if (width <= 0 || height <= 0 || !out)
        return false;
    Connection connection;
    Display* display = connection.display;
    if (!display)
        return false;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes) || attributes.width <= 0 ||
        attributes.height <= 0)
        return false;

    // An X error here (say, a server that refuses the read) ends this capture,
    // not the process.
    XImage* image = ReadX11ImageTrapped(display, root, static_cast<unsigned>(attributes.width),
                                        static_cast<unsigned>(attributes.height));
    if (!image)
        return false;

    X11ImageReader reader;
    if (!InitX11ImageReader(display, image, attributes.visual, attributes.colormap, &reader)) {
        XDestroyImage(image);
        return false;
    }
    ScaleToBgr(&reader, reader.read, attributes.width, attributes.height, width, height, out);
    XDestroyImage(image);
    return true;
}
