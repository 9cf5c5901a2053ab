#include <gtest/gtest.h>

#include <string>

#include "host/daemon_picture.h"
#include "platform/screenshot_fit.h"

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
        {"  grabdesktopimages :  off  \r\n", false},
        {"grabDesktopImages: False\ngrabDesktopImages: True\n", true}, // the last one counts
        {"! grabDesktopImages: False\n", true},
        {"grabDesktopImagesLater: False\n", true},
    };
    for (const Resource& r : resources)
        EXPECT_EQ(DesktopImagesAllowed(r.text), r.allowed) << r.text;
}
