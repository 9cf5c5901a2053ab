// The program's entry on Linux. A command line of the saver-daemon mode (the
// options that screen-saver daemons and their settings apps pass, and the
// program's own options) runs that mode; any other command line is rebuilt
// the way the system's screen-saver service would hand it over, and the
// classic host runs the mode it names.

#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bv_version.h"
#include "host/command_line.h"
#include "host/daemon_host.h"
#include "host/daemon_options.h"

int main(int argc, char** argv)
{
    // The window thread and the render thread each talk to the X server.
    XInitThreads();

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
    SaverStartup(commandLine.c_str()); // ends the process with the mode's exit code
}
