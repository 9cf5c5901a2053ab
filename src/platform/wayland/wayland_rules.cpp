#include "platform/wayland/wayland_rules.h"

#include "platform/screen.h"

int ChooseSceneOutput(const std::vector<OutputPixels>& outputs)
{
    int best = -1;
    int64_t bestArea = -1;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const int64_t area = static_cast<int64_t>(outputs[i].width) * outputs[i].height;
        if (area > bestArea) {
            best = static_cast<int>(i);
            bestArea = area;
        }
    }
    return best;
}

bool ScreencopyFormatKnown(uint32_t format)
{
    return format == kShmArgb8888 || format == kShmXrgb8888 || format == kShmAbgr8888 ||
           format == kShmXbgr8888;
}

namespace {

uint32_t ReadScreencopyPixel(const void* context, int sx, int sy)
{
    const ScreencopyImage& image = *static_cast<const ScreencopyImage*>(context);
    const int row = image.yInvert ? image.height - 1 - sy : sy;
    const uint8_t* p = image.data + static_cast<size_t>(row) * static_cast<size_t>(image.stride) +
                       static_cast<size_t>(sx) * 4u;
    // Little-endian words: the bytes of ?RGB8888 are B, G, R, ?; of ?BGR8888 R, G, B, ?.
    const bool bgrWord = image.format == kShmXrgb8888 || image.format == kShmArgb8888;
    const uint32_t red = bgrWord ? p[2] : p[0];
    const uint32_t blue = bgrWord ? p[0] : p[2];
    return (red << 16) | (static_cast<uint32_t>(p[1]) << 8) | blue;
}

} // namespace

bool ScreencopyToBgr(const ScreencopyImage& image, int width, int height, uint8_t* out)
{
    if (!ScreencopyFormatKnown(image.format) || !image.data || image.width <= 0 ||
        image.height <= 0 || image.stride < image.width * 4 || width <= 0 || height <= 0)
        return false;
    ScaleToBgr(&image, ReadScreencopyPixel, image.width, image.height, width, height, out);
    return true;
}

std::string SaverLockPath(const char* runtimeDir, const char* waylandDisplay)
{
    if (!runtimeDir || !*runtimeDir || !waylandDisplay || !*waylandDisplay)
        return std::string();
    std::string key(waylandDisplay);
    for (char& c : key)
        if (c == '/')
            c = '_';
    return std::string(runtimeDir) + "/brittleview-" + key + ".lock";
}
