#include "platform/x11/x11_image.h"

#include <X11/Xutil.h>

#include <cstring>

#include "platform/x11/x11_connection.h"

namespace {

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

uint32_t ReadDirect32(const void* context, int sx, int sy)
{
    const XImage* image = static_cast<const X11ImageReader*>(context)->image;
    const char* row =
        image->data + static_cast<size_t>(sy) * static_cast<size_t>(image->bytes_per_line);
    uint32_t value;
    std::memcpy(&value, row + static_cast<size_t>(sx) * 4u, 4);
    return value & 0xFFFFFFu;
}

uint32_t ReadMasked(const void* context, int sx, int sy)
{
    const X11ImageReader* r = static_cast<const X11ImageReader*>(context);
    const unsigned long pixel = XGetPixel(r->image, sx, sy);
    return Channel8(pixel, r->masks[0], r->shifts[0], r->maxima[0]) << 16 |
           Channel8(pixel, r->masks[1], r->shifts[1], r->maxima[1]) << 8 |
           Channel8(pixel, r->masks[2], r->shifts[2], r->maxima[2]);
}

uint32_t ReadPalette(const void* context, int sx, int sy)
{
    const X11ImageReader* r = static_cast<const X11ImageReader*>(context);
    const unsigned long pixel = XGetPixel(r->image, sx, sy);
    return pixel < r->palette.size() ? r->palette[pixel] : 0u;
}

bool HostIsLittleEndian()
{
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

} // namespace

bool InitX11ImageReader(Display* display, XImage* image, const Visual* visual, Colormap colormap,
                        X11ImageReader* reader)
{
    reader->image = image;
    reader->read = nullptr;
    const int visualClass = visual->c_class;
    if (visualClass == TrueColor || visualClass == DirectColor) {
        const unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
        for (int c = 0; c < 3; ++c) {
            reader->masks[c] = masks[c];
            reader->shifts[c] = LowestBit(masks[c]);
            reader->maxima[c] = masks[c] >> reader->shifts[c];
        }
        const bool hostOrder = (image->byte_order == LSBFirst) == HostIsLittleEndian();
        if (image->bits_per_pixel == 32 && hostOrder && masks[0] == 0xFF0000ul &&
            masks[1] == 0xFF00ul && masks[2] == 0xFFul)
            reader->read = ReadDirect32;
        else
            reader->read = ReadMasked;
    } else if (image->depth > 0 && image->depth <= 16) {
        // Colour-mapped or grey visuals: look every possible pixel value up once.
        const size_t entries = size_t{1} << image->depth;
        std::vector<XColor> colours(entries);
        for (size_t i = 0; i < entries; ++i)
            colours[i].pixel = i;
        XQueryColors(display, colormap, colours.data(), static_cast<int>(entries));
        reader->palette.resize(entries);
        for (size_t i = 0; i < entries; ++i)
            reader->palette[i] = static_cast<uint32_t>(colours[i].red >> 8) << 16 |
                                 static_cast<uint32_t>(colours[i].green >> 8) << 8 |
                                 static_cast<uint32_t>(colours[i].blue >> 8);
        reader->read = ReadPalette;
    }
    return reader->read != nullptr;
}

XImage* ReadX11ImageTrapped(Display* display, Drawable drawable, unsigned width, unsigned height)
{
    XImage* image = nullptr;
    X11ErrorTrap trap(display);
    image = XGetImage(display, drawable, 0, 0, width, height, AllPlanes, ZPixmap);
    if (trap.Caught() && image) {
        XDestroyImage(image);
        image = nullptr;
    }
    return image;
}
