// Which window system the full-screen saver runs on, and which mode a
// classic command line names: the entry's decisions, as plain functions.
#pragma once

// What BRITTLEVIEW_BACKEND asks for.
enum class BackendRequest {
    kAuto,    // unset or empty: Wayland when a compositor answers, else X11
    kX11,     // "x11"
    kWayland, // "wayland"
    kUnknown, // anything else
};
BackendRequest ReadBackendRequest(const char* value);

enum class Backend { kNone, kX11, kWayland };

// The backend for the full-screen saver. waylandNamed: WAYLAND_DISPLAY is set
// and not empty; the probes try to connect and are called only when the
// answer depends on them. kNone when the one asked for (or, unforced, either)
// cannot start, and for an unknown request.
Backend ChooseBackend(BackendRequest request, bool waylandNamed, bool (*waylandAnswers)(),
                      bool (*x11Answers)());

// The mode the classic grammar reads from a command tail (the first byte that
// is not a blank, '-' or '/').
enum class ClassicMode { kConfigure, kFullScreen, kPreview, kPassword, kOther };
ClassicMode ClassicModeOf(const char* tail);
