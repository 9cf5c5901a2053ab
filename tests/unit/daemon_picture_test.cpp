#include <gtest/gtest.h>

#include <string>

#include "host/daemon_picture.h"
#include "platform/screenshot_fit.h"

namespace {

// A 4 x 3 photograph whose pixel (x, y) reads as 0x100 * y + x + 1 (never black).
uint32_t Photo(const void*, int x, int y)
{
    return static_cast<uint32_t>(0x100 * y + x + 1);
}

} // namespace

TEST(DaemonPicture, ScreenshotIsCroppedAtTheWindowOrCentredInIt)
{
    struct Case {
        int photo, position, window, shift;
    } cases[] = {
        {1920, 0, 1920, 0},       // equal: taken whole
        {3840, 1920, 1920, 1920}, // larger: the second monitor's half
        {3840, 3000, 1920, 1920}, // a window reaching past the photograph stays inside it
        {3840, -50, 1920, 0},     {1024, 0, 1920, -448}, // smaller: centred
        {1024, 300, 1025, 0}, // one pixel more: the odd pixel goes to the far side
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScreenshotShift(c.photo, c.position, c.window), c.shift)
            << c.photo << " at " << c.position << " in " << c.window;

    FittedScreenshot fitted;
    FitScreenshot(nullptr, Photo, 4, 3, 0, 0, 6, 3,
                  &fitted); // wider window: a black column each side
    EXPECT_EQ(ReadFittedScreenshot(&fitted, 0, 0), 0u);
    EXPECT_EQ(ReadFittedScreenshot(&fitted, 1, 2), Photo(nullptr, 0, 2));
    EXPECT_EQ(ReadFittedScreenshot(&fitted, 4, 0), Photo(nullptr, 3, 0));
    EXPECT_EQ(ReadFittedScreenshot(&fitted, 5, 1), 0u);
    FitScreenshot(nullptr, Photo, 4, 3, 2, 1, 2, 2, &fitted); // smaller window at (2, 1)
    EXPECT_EQ(ReadFittedScreenshot(&fitted, 0, 0), Photo(nullptr, 2, 1));
    EXPECT_EQ(ReadFittedScreenshot(&fitted, 1, 1), Photo(nullptr, 3, 2));
}

TEST(DaemonPicture, SourcesInOrderAndTheDesktopOnlyWhereTheDaemonAllowsIt)
{
    using S = PictureSource;
    struct Case {
        PictureChoice choice;
        std::vector<S> order;
    } cases[] = {
        {{true, true, true}, {S::kScreenshot, S::kRootCapture, S::kImageFile, S::kOwnPicture}},
        {{true, false, false}, {S::kScreenshot, S::kOwnPicture}},
        {{false, true, true}, {S::kImageFile, S::kOwnPicture}},
        {{false, true, false}, {S::kOwnPicture}},
    };
    for (const Case& c : cases) {
        PictureSource out[4];
        const int count = PictureOrder(c.choice, out);
        EXPECT_EQ(std::vector<S>(out, out + count), c.order);
    }

    // The desktop is allowed unless the daemon's settings file says otherwise.
    struct Resource {
        const char* text;
        bool allowed;
    } resources[] = {
        {"", true},
        {"mode: one\ngrabDesktopImages:\tTrue\n", true},
        {"grabDesktopImages:\tFalse\n", false},
        {"  grabdesktopimages :  off  \r\n", false},
        {"*grabDesktopImages: no\n", false},
        {"xscreensaver.grabDesktopImages: 0\n", false},
        {"grabDesktopImages: False\ngrabDesktopImages: True\n", true}, // the last one counts
        {"! grabDesktopImages: False\n", true},
        {"grabDesktopImagesLater: False\nchooseRandomImages: False\n", true},
    };
    for (const Resource& r : resources)
        EXPECT_EQ(DesktopImagesAllowed(r.text), r.allowed) << r.text;
}
