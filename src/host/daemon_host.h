// The host of the saver-daemon mode: a screen-saver daemon (or a person
// trying options) hands the saver a window, and the saver draws in it until a
// signal, the window's end or the window manager's close stops it. It reads
// the stored settings and lays the options over them, but never writes them:
// a daemon runs one copy per monitor.
#pragma once

#include <cstdint>

#include "host/daemon_options.h"

// Figures of one run, for measurements.
struct DaemonRunReport {
    int64_t firstFrameNanos =
        0; // steady clock (SteadyNanos, render/paced_render.h); 0: no frame drawn
};

// Runs the mode and returns the exit code: 0 after a stop, 255 (with one line
// on standard error, before anything is drawn) when there is no display or the
// named window does not exist.
//
// Where to draw: ChooseDaemonTarget's choice; a command line that names no
// target at all (no --root, --window or --window-id, and no
// XSCREENSAVER_WINDOW) opens a window of its own, as --window does: that is
// a person trying a setting, and drawing over their desktop would be rude.
int RunDaemonHost(const DaemonOptions& options, DaemonRunReport* report = nullptr);
