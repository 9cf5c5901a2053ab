#include "render/capture.h"

#include <new>

#include "core/settings.h"
#include "platform/screen.h"

uint8_t* desktopPixels = nullptr;
GLuint ScreenTexture = 0;

size_t CaptureByteCount(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxCaptureSide || height > kMaxCaptureSide)
        return 0;
    // At most 16384 * 16384 * 3 = 805,306,368, which fits a 32-bit size_t.
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 3u;
}

void ReleaseDesktopPixels()
{
    delete[] desktopPixels;
    desktopPixels = nullptr;
}

void FillDesktopPixels(const std::function<bool(int width, int height, uint8_t* bgr)>& fill)
{
    ReleaseDesktopPixels();
    const int width = Settings.screenTextureWidth;
    const int height = Settings.screenTextureHeight;
    const size_t bytes = CaptureByteCount(width, height);
    if (bytes == 0)
        return; // no picture: the plane is drawn in its plain lit colour
    uint8_t* buffer = new (std::nothrow) uint8_t[bytes];
    if (!buffer)
        return;
    if (!fill(width, height, buffer)) {
        delete[] buffer; // never leave a half-filled picture behind
        return;
    }
    desktopPixels = buffer;
}

void CaptureDesktop()
{
    FillDesktopPixels(CapturePrimaryScreen);
}

void CreateScreenTexture()
{
    const int width = Settings.screenTextureWidth;
    const int height = Settings.screenTextureHeight;
    glGenTextures(1, &ScreenTexture);
    glBindTexture(GL_TEXTURE_2D, ScreenTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    Settings.useLinear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    Settings.useLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (desktopPixels && CaptureByteCount(width, height) != 0) {
        // Rows are tightly packed; only widths whose rows are not a multiple
        // of 4 bytes need the unpack alignment lowered.
        const bool packed = (width * 3) % 4 != 0;
        if (packed)
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                          desktopPixels);
        if (packed)
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    ReleaseDesktopPixels();
}

void DeleteScreenTexture()
{
    if (ScreenTexture != 0)
        glDeleteTextures(1, &ScreenTexture);
    ScreenTexture = 0;
}
