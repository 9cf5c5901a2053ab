// The program's entry on Linux: rebuild the command line the way the system's
// screen-saver service would hand it over, and let the host run the mode.

#include <X11/Xlib.h>

#include <cstring>
#include <string>

#include "host/command_line.h"

int main(int argc, char** argv)
{
    // The window thread and the render thread each talk to the X server.
    XInitThreads();

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
