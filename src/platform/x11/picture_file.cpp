// Pictures from files (the table's loadPictureFile) through gdk-pixbuf (which GTK brings along):
// every format it has a loader for. The picture is turned upright by its embedded orientation, and
// any alpha channel is dropped.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <string>

#include "platform/screen.h"

namespace {

struct PixbufPixels {
    const guchar* pixels;
    int rowStride;
    int channels;
};

uint32_t ReadPixbuf(const void* context, int x, int y)
{
    const PixbufPixels* p = static_cast<const PixbufPixels*>(context);
    const guchar* pixel = p->pixels + static_cast<size_t>(y) * static_cast<size_t>(p->rowStride) +
                          static_cast<size_t>(x) * static_cast<size_t>(p->channels);
    return static_cast<uint32_t>(pixel[0]) << 16 | static_cast<uint32_t>(pixel[1]) << 8 | pixel[2];
}

} // namespace

bool PlatformLoadPictureFile(const char* path, int width, int height, uint8_t* out,
                             std::string* message)
{
    GError* error = nullptr;
    GdkPixbuf* loaded = gdk_pixbuf_new_from_file(path, &error);
    if (!loaded) {
        *message = error && error->message ? error->message : "not a picture";
        if (error)
            g_error_free(error);
        return false;
    }
    GdkPixbuf* upright = gdk_pixbuf_apply_embedded_orientation(loaded);
    g_object_unref(loaded);
    if (!upright) {
        *message = "not a picture";
        return false;
    }
    const bool usable = gdk_pixbuf_get_colorspace(upright) == GDK_COLORSPACE_RGB &&
                        gdk_pixbuf_get_bits_per_sample(upright) == 8 &&
                        gdk_pixbuf_get_n_channels(upright) >= 3 &&
                        gdk_pixbuf_get_width(upright) > 0 && gdk_pixbuf_get_height(upright) > 0;
    if (usable) {
        const PixbufPixels pixels = {gdk_pixbuf_read_pixels(upright),
                                     gdk_pixbuf_get_rowstride(upright),
                                     gdk_pixbuf_get_n_channels(upright)};
        ScaleToBgr(&pixels, ReadPixbuf, gdk_pixbuf_get_width(upright),
                   gdk_pixbuf_get_height(upright), width, height, out);
    } else {
        *message = "unsupported pixel layout";
    }
    g_object_unref(upright);
    return usable;
}
