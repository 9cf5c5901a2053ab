// The program's entry on Linux. A command line of the saver-daemon mode (the
// options that screen-saver daemons and their settings apps pass, and the
// program's own options) runs that mode; any other command line is rebuilt
// the way the system's screen-saver service would hand it over, and the
// classic host runs the mode it names.
//
// The full-screen saver runs on Wayland when WAYLAND_DISPLAY names a
// compositor that answers, else on X11; BRITTLEVIEW_BACKEND=x11 or =wayland
// forces one. The settings dialog and the About box go through GTK, which
// picks its own backend. The preview, the password change and the
// saver-daemon mode need an X server.

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/backend_choice.h"
#include "bv_version.h"
#include "host/command_line.h"
#include "host/daemon_host.h"
#include "host/daemon_options.h"
#include "platform/platform.h"
#include "platform/wayland/wayland_backend.h"
#include "render/own_picture.h"

namespace {

bool X11Answers()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

bool WaylandNamed()
{
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name && *name;
}

int Fail(const char* message)
{
    std::fprintf(stderr, "brittleview: %s\n", message);
    return 255;
}

// A mode that only X11 can run, asked for in a Wayland session without an X server.
bool NeedsMissingX()
{
    return WaylandNamed() && !X11Answers();
}

// Makes the full-screen saver's backend ready; 0, or the exit code of a failure.
int PrepareFullScreen()
{
    const BackendRequest request = ReadBackendRequest(std::getenv("BRITTLEVIEW_BACKEND"));
    switch (ChooseBackend(request, WaylandNamed(), WaylandCompositorAnswers, X11Answers)) {
    case Backend::kWayland:
        platform = StartWaylandBackend();
        SetWaylandPictureFallback(DrawOwnPicture);
        return 0;
    case Backend::kX11:
        return 0;
    case Backend::kNone:
        break;
    }
    switch (request) {
    case BackendRequest::kWayland:
        return Fail("BRITTLEVIEW_BACKEND=wayland, but no Wayland compositor answers");
    case BackendRequest::kX11:
        return Fail("BRITTLEVIEW_BACKEND=x11, but no X server answers");
    case BackendRequest::kUnknown:
        return Fail("BRITTLEVIEW_BACKEND must be x11 or wayland");
    case BackendRequest::kAuto:
        break;
    }
    return Fail("no Wayland compositor or X server to show the saver on");
}

} // namespace

int main(int argc, char** argv)
{
    // The window thread and the render thread each talk to the X server.
    XInitThreads();
    // Past a file-size limit a write fails with EFBIG instead of ending the
    // process, so a save at the end says why it failed, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);

    DaemonOptions options;
    std::string message;
    switch (ParseDaemonCommandLine(argc, argv, &options, &message)) {
    case DaemonParse::kHelp:
        std::fputs(DaemonUsage(), stdout);
        return 0;
    case DaemonParse::kVersion:
        std::puts("brittleview " BV_VERSION_TEXT);
        return 0;
    case DaemonParse::kError:
        std::fprintf(stderr, "brittleview: %s\n", message.c_str());
        return 255;
    case DaemonParse::kRun:
        if (NeedsMissingX())
            return Fail("the saver-daemon mode needs an X server; on Wayland run brittleview /s");
        return RunDaemonHost(options);
    case DaemonParse::kNotDaemon:
        break;
    }

    std::string commandLine;
    const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "brittleview";
    if (std::strchr(program, ' ') != nullptr)
        commandLine = std::string("\"") + program + "\"";
    else
        commandLine = program;
    for (int i = 1; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    switch (ClassicModeOf(FindCommandTail(commandLine.c_str()))) {
    case ClassicMode::kFullScreen:
        if (const int failure = PrepareFullScreen())
            return failure;
        break;
    case ClassicMode::kPreview:
    case ClassicMode::kPassword:
        if (NeedsMissingX())
            return Fail("the preview and the password change need an X server; on Wayland "
                        "only the full-screen saver (/s) and the settings (/c) run");
        break;
    case ClassicMode::kConfigure:
    case ClassicMode::kOther:
        break;
    }
    SaverStartup(commandLine.c_str()); // ends the process with the mode's exit code
}
