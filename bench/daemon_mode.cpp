// The saver-daemon mode as a daemon runs it, measured in process: the real
// host draws on the root window of the display (the desktop photographed
// from the root) with the given daemon-mode options, and is stopped with
// SIGTERM after the measuring time.
//
//   daemon_mode CASE SECONDS [OPTION...]
//
// Prints one JSON line: frames per second and processor milliseconds per
// wall-clock second over the measuring window (which starts one second after
// the first frame), peak memory, the time from main() (and from the process's
// start) to the first frame with the picture, and from SIGTERM to the end.
// Linux only.
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_platform.h"
#include "geometry/wave.h"
#include "host/daemon_host.h"
#include "render/paced_render.h"

namespace {

uint32_t Frames()
{
    return std::atomic_ref<uint32_t>(frameCounter).load(std::memory_order_relaxed);
}

// Milliseconds from the process's start (as the kernel counts it, in clock
// ticks) to now, on the boot-time clock; -1 when unknown.
double MillisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1.0;
    // Field 22 is the start time; fields after the name start at field 3.
    std::vector<std::string> fields;
    size_t at = close + 2;
    while (at < text.size() && fields.size() < 20) {
        const size_t end = text.find(' ', at);
        fields.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    if (fields.size() < 20)
        return -1.0;
    const double startSeconds = std::atof(fields[19].c_str()) / sysconf(_SC_CLK_TCK);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec * 1e-9 - startSeconds) * 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    const int64_t mainNanos = SteadyNanos();
    const double sinceProcessStart = MillisecondsSinceProcessStart();
    if (argc < 3) {
        std::fprintf(stderr, "usage: daemon_mode CASE SECONDS [OPTION...]\n");
        return 2;
    }
    const std::string name = argv[1];
    const double seconds = std::atof(argv[2]);
    // A private, empty settings store and daemon settings, and no daemon window.
    char folder[] = "/tmp/bv-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("HOME", folder, 1);
    unsetenv("XSCREENSAVER_WINDOW");
    unsetenv("WAYLAND_DISPLAY");

    std::vector<const char*> arguments = {"brittleview", "--root"};
    for (int i = 3; i < argc; ++i)
        arguments.push_back(argv[i]);
    DaemonOptions options;
    std::string message;
    if (ParseDaemonCommandLine(static_cast<int>(arguments.size()), arguments.data(), &options,
                               &message) != DaemonParse::kRun) {
        std::fprintf(stderr, "daemon_mode: %s\n", message.c_str());
        return 2;
    }
    std::FILE* out = DivertStandardOutput();
    if (!out)
        return 1;

    // The measuring thread: one second to settle, then the window, then SIGTERM.
    struct Measured {
        uint32_t frames0 = 0, frames1 = 0;
        double cpu0 = 0, cpu1 = 0;
        int64_t start = 0, end = 0, signalled = 0;
    } window;
    std::thread measure([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        window.start = SteadyNanos();
        window.frames0 = Frames();
        window.cpu0 = CpuSeconds();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        window.end = SteadyNanos();
        window.frames1 = Frames();
        window.cpu1 = CpuSeconds();
        window.signalled = SteadyNanos();
        kill(getpid(), SIGTERM);
    });
    DaemonRunReport report;
    const int code = RunDaemonHost(options, &report);
    const int64_t ended = SteadyNanos();
    measure.join();
    rmdir(folder);
    if (code != 0) {
        std::fprintf(stderr, "daemon_mode: the host ended with %d\n", code);
        return 1;
    }
    const double wall = (window.end - window.start) * 1e-9;
    const double firstFrameMs =
        report.firstFrameNanos ? (report.firstFrameNanos - mainNanos) * 1e-6 : -1.0;
    std::fprintf(out,
                 "{\"case\":\"%s\",\"delay_us\":%ld,\"fps\":%.1f,\"cpu_ms_per_s\":%.0f,"
                 "\"peak_rss_mb\":%.1f,\"first_frame_ms\":%.1f,"
                 "\"first_frame_from_exec_ms\":%.1f,\"stop_ms\":%.1f}\n",
                 name.c_str(), options.delayMicros, (window.frames1 - window.frames0) / wall,
                 (window.cpu1 - window.cpu0) * 1000.0 / wall, PeakRssMegabytes(), firstFrameMs,
                 sinceProcessStart >= 0 && firstFrameMs >= 0 ? sinceProcessStart + firstFrameMs
                                                             : -1.0,
                 (ended - window.signalled) * 1e-6);
    std::fclose(out);
    return 0;
}
