// The render thread: owns the GL surface and context, sets up the scene and
// draws frames until renderRunning is cleared.
#pragma once

#include <atomic>

#include "platform/platform_types.h"

struct GlSurface;
struct PlatformThread;

// Keeps the render thread drawing; set by the window thread on creation,
// cleared on destruction, read by the render thread before every frame.
extern std::atomic<int> renderRunning;

// The running render thread, or null. Written by the window thread only.
extern PlatformThread* renderThreadHandle;

// Thread entry; argument is the saver window's WindowHandle.
void RenderThread(void* argument);

// Enumerates the surface's formats, ranks them and sets the best or the fallback.
void ChooseSurfaceFormat(GlSurface* surface);

// Win32 priority level for a Priority setting (0 -> -2, 1 -> -1, 2 -> 0);
// false for any other value, which leaves the thread as created.
bool PriorityLevelFor(int priority, int* level);
