// The primary screen on X11: the default screen's root window. The picture is
// read with one XGetImage of the whole root window and then scaled by nearest
// neighbour, one source read per destination pixel, which gives the bytes a
// per-pixel read of a scaled copy would give.
#include "platform/screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/x11/x11_connection.h"

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

// How one pixel value of the image becomes 0x00RRGGBB.
struct PixelDecoder {
    XImage* image;
    // TrueColor and DirectColor: a shift and a maximum per channel.
    unsigned long masks[3];
    int shifts[3];
    unsigned long maxima[3];
    // Colormapped visuals: pixel value -> colour.
    std::vector<uint32_t> palette;
};

int LowestBit(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1ul)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

uint32_t Channel8(unsigned long pixel, unsigned long mask, int shift, unsigned long maximum)
{
    if (maximum == 0)
        return 0;
    return static_cast<uint32_t>(((pixel & mask) >> shift) * 255ul / maximum);
}

// 32 bits per pixel in host byte order with 8-bit channels at 16, 8, 0: the
// usual layout, read straight from the image memory.
uint32_t ReadDirect32(const void* context, int sx, int sy)
{
    const XImage* image = static_cast<const PixelDecoder*>(context)->image;
    const char* row =
        image->data + static_cast<size_t>(sy) * static_cast<size_t>(image->bytes_per_line);
    uint32_t value;
    std::memcpy(&value, row + static_cast<size_t>(sx) * 4u, 4);
    return value & 0xFFFFFFu;
}

uint32_t ReadMasked(const void* context, int sx, int sy)
{
    const PixelDecoder* d = static_cast<const PixelDecoder*>(context);
    const unsigned long pixel = XGetPixel(d->image, sx, sy);
    return Channel8(pixel, d->masks[0], d->shifts[0], d->maxima[0]) << 16 |
           Channel8(pixel, d->masks[1], d->shifts[1], d->maxima[1]) << 8 |
           Channel8(pixel, d->masks[2], d->shifts[2], d->maxima[2]);
}

uint32_t ReadPalette(const void* context, int sx, int sy)
{
    const PixelDecoder* d = static_cast<const PixelDecoder*>(context);
    const unsigned long pixel = XGetPixel(d->image, sx, sy);
    return pixel < d->palette.size() ? d->palette[pixel] : 0u;
}

bool HostIsLittleEndian()
{
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

} // namespace

void GetPrimaryScreenSize(int* width, int* height)
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

bool CapturePrimaryScreen(int width, int height, uint8_t* out)
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

    // An X error here (say, a server that refuses the read) must end this
    // capture, not the process: trap errors around the one request. Nothing
    // else runs Xlib at this moment (the render thread does not exist yet).
    XImage* image = nullptr;
    bool failed = false;
    {
        X11ErrorTrap trap(display);
        image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        failed = trap.Caught();
    }
    if (!image || failed) {
        if (image)
            XDestroyImage(image);
        return false;
    }

    PixelDecoder decoder;
    decoder.image = image;
    SourcePixelReader reader = nullptr;
    const Visual* visual = attributes.visual;
    const int visualClass = visual->c_class;
    if (visualClass == TrueColor || visualClass == DirectColor) {
        const unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
        for (int c = 0; c < 3; ++c) {
            decoder.masks[c] = masks[c];
            decoder.shifts[c] = LowestBit(masks[c]);
            decoder.maxima[c] = masks[c] >> decoder.shifts[c];
        }
        const bool hostOrder = (image->byte_order == LSBFirst) == HostIsLittleEndian();
        if (image->bits_per_pixel == 32 && hostOrder && masks[0] == 0xFF0000ul &&
            masks[1] == 0xFF00ul && masks[2] == 0xFFul)
            reader = ReadDirect32;
        else
            reader = ReadMasked;
    } else if (image->depth > 0 && image->depth <= 16) {
        // Colormapped or grey visuals: look every possible pixel value up once.
        const size_t entries = size_t{1} << image->depth;
        std::vector<XColor> colours(entries);
        for (size_t i = 0; i < entries; ++i)
            colours[i].pixel = i;
        XQueryColors(display, attributes.colormap, colours.data(), static_cast<int>(entries));
        decoder.palette.resize(entries);
        for (size_t i = 0; i < entries; ++i)
            decoder.palette[i] = static_cast<uint32_t>(colours[i].red >> 8) << 16 |
                                 static_cast<uint32_t>(colours[i].green >> 8) << 8 |
                                 static_cast<uint32_t>(colours[i].blue >> 8);
        reader = ReadPalette;
    }
    if (!reader) {
        XDestroyImage(image);
        return false;
    }
    ScaleToBgr(&decoder, reader, attributes.width, attributes.height, width, height, out);
    XDestroyImage(image);
    return true;
}
