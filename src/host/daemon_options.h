// The command line of the saver-daemon mode: the options that screen-saver
// daemons (and their settings apps) pass to a saver they run in a window of
// their own, plus Brittleview's own options, which are laid over the stored
// settings. Plain logic: no window-system calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings.h"
#include "platform/daemon_window.h"

// What the daemon-mode options ask for. Filled by ParseDaemonCommandLine.
struct DaemonOptions {
    uint64_t windowId = 0;     // --window-id ID; 0: not given
    bool root = false;         // --root: draw on the root (or virtual root) window
    bool ownWindow = false;    // --window: open an ordinary window of our own
    long delayMicros = 20000;  // --delay N: pause after each frame, microseconds
    bool showFps = false;      // --fps / --no-fps
    std::string imagePath;     // --image FILE: the picture when no screenshot is given
    int preset = -1;           // --preset NAME: index into kPresets, -1 for none
    // Brittleview's own options in command-line order: the settings field
    // (kSettingFields) and the value to assign.
    struct Assignment {
        const SettingField* field;
        double value;
    };
    std::vector<Assignment> assignments;
};

enum class DaemonParse {
    kNotDaemon,  // not a daemon-mode command line: the classic grammar applies
    kRun,        // run the daemon mode with the options read
    kHelp,       // --help: print DaemonUsage() to standard output, exit 0
    kVersion,    // --version first: print "brittleview <version>" to standard output, exit 0
    kError,      // bad option or value: print the message to standard error, exit 255
};

// Reads argv[1..argc-1]. Options take one or two leading dashes. A command
// line is a daemon-mode one when its first argument is one of the recognised
// option names; every other command line is left to the classic grammar.
// On kError, *message holds one line (no trailing newline, no program name)
// naming the option and the value at fault.
DaemonParse ParseDaemonCommandLine(int argc, const char* const* argv, DaemonOptions* options,
                                   std::string* message);

// The --help text: every option, one per line.
const char* DaemonUsage();

// Lays the options over the settings record: the preset first, then each
// assignment in command-line order.
void ApplyDaemonOptions(const DaemonOptions& options, SettingsRecord* settings);

// Where to draw, chosen from the options and the XSCREENSAVER_WINDOW value
// (hex with 0x, or decimal; nullptr or empty when unset). --window-id wins;
// the variable names the window a daemon gives, so it stands in for --root and
// for a command line that names no target, never for --window; with neither
// a window id nor the variable, --root draws on the root, and everything else
// in a window of its own.
struct DaemonTarget {
    DaemonWindowKind kind = DaemonWindowKind::kOwn;
    uint64_t windowId = 0; // for kForeign
};
// Returns false with *message set when the environment value is used and is
// not a window number (junk, 0).
bool ChooseDaemonTarget(const DaemonOptions& options, const char* environmentWindow,
                        DaemonTarget* target, std::string* message);
