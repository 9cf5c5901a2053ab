// The parts of the benchmarks that differ between window systems: a bare
// window covering the primary screen, its message queue, the process's
// processor time and peak memory, and a private copy of standard output.
// bench_platform_x11.cpp and bench_platform_win32.cpp implement them.
#pragma once

#include <cstdio>

#include "platform/platform_types.h"

// Creates and shows a borderless window covering the primary screen, with no
// surface yet; fills its handle and size. False when there is no display.
bool CreateBenchWindow(WindowHandle* window, int* width, int* height);
void DestroyBenchWindow(WindowHandle window);

// Handles the messages waiting for the benchmark's windows, so the system
// sees a responsive program (nothing to do on X11).
void PumpBenchMessages();

// Returns once the window system has carried out every request made so far.
void SyncBenchWindow();

// Processor time of the whole process (all threads, the GL driver's included).
double CpuSeconds();

// The process's peak resident memory in megabytes.
double PeakRssMegabytes();

// Returns a private copy of standard output and points standard output itself
// at the null device, so that nothing the program prints on its way gets
// between the lines written to the copy. Null on failure.
std::FILE* DivertStandardOutput();
