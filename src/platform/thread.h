// Threads: start, priority, join, yield and sleep.
#pragma once

struct PlatformThread; // opaque, one per backend

using ThreadEntry = void (*)(void* argument);

// Starts entry(argument) on a new thread with the default stack size. Null on failure.
PlatformThread* StartPlatformThread(ThreadEntry entry, void* argument);
// Sets the thread's priority in Win32 levels: -2 lowest, -1 below normal, 0 normal. Failure is
// ignored.
void SetPlatformThreadPriority(PlatformThread* thread, int level);
// Waits until the thread has ended and releases its handle; null is ignored.
void JoinPlatformThread(PlatformThread* thread);
// Gives up the rest of the calling thread's time slice (Sleep(0)).
void YieldPlatformThread();
// Suspends the calling thread for about the given number of milliseconds.
void SleepPlatformThread(int milliseconds);
