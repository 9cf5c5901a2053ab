// Where the picture of the saver-daemon mode comes from. Plain logic: no
// window-system calls.
#pragma once

#include <string>

// The sources, in the order they are tried.
enum class PictureSource {
    kScreenshot,  // the photograph the daemon left on the window it gave us
    kRootCapture, // a photograph of the screen taken now (only when drawing on the root)
    kImageFile,   // the file named by --image
    kOwnPicture,  // the picture the program draws itself; never fails
};

struct PictureChoice {
    bool desktopAllowed; // the user lets savers show the desktop, and it can be photographed
    bool targetIsRoot;   // drawing on the root (or virtual root) window
    bool haveImageFile;  // --image was given
};

// Writes the sources to try, best first, into out (room for 4) and returns
// how many; the last one is always kOwnPicture.
int PictureOrder(const PictureChoice& choice, PictureSource out[4]);

// Whether the daemon's per-user settings (the text of ~/.xscreensaver) let
// savers show the desktop: false only when the grabDesktopImages resource is
// false (False, off, no or 0, in any case). The last setting of it counts.
bool DesktopImagesAllowed(const std::string& settingsText);
