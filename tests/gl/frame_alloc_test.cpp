// The per-frame path of every mode allocates nothing. operator new is replaced
// here and, while `counting` is set, counts the calls made outside the GL
// driver (Mesa compiles shaders with LLVM, in C++, on any frame).
#include "gl_fixture.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/settings.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

// The replacements pair malloc with free themselves; GCC sees only the new and the free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

// True when no frame of the calling stack lies in the GL driver's libraries.
bool CalledFromTheProgram()
{
    void* frames[24];
    const int count = backtrace(frames, 24);
    for (int i = 1; i < count; ++i) {
        Dl_info from{};
        if (dladdr(frames[i], &from) && from.dli_fname &&
            (std::strstr(from.dli_fname, "LLVM") || std::strstr(from.dli_fname, "_dri") ||
             std::strstr(from.dli_fname, "libGL")))
            return false;
    }
    return true;
}
const bool backtraceReady = CalledFromTheProgram(); // its first call loads a library

} // namespace

// The library's other forms of new (array, nothrow) and delete come down to these two.
void* operator new(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed) && backtraceReady) {
        counting = false; // backtrace itself must not be counted
        allocations += CalledFromTheProgram();
        counting = true;
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

TEST(FrameAllocations, HundredFramesOfEveryModeAllocateNothing)
{
    GlWindow window(160, 120);
    ASSERT_TRUE(window.ok());
    for (int mode = 0; mode <= 4; ++mode) {
        SetDefaultSettings();
        Settings.Mode = mode;
        Settings.useTrails = 1;
        Settings.genChildren = 0; // a cycle of the default grid outlasts the 100 frames
        Settings.xyGoraud = mode % 2;
        CaptureDesktop();
        SetupScene();
        CreateScreenTexture();
        allocations = 0;
        counting = true;
        for (int frame = 0; frame < 100; ++frame)
            DrawFrame(window.surface());
        counting = false;
        EXPECT_EQ(allocations.load(), 0) << "mode " << mode;
        TeardownScene();
    }
}
