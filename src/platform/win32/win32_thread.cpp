// Threads on Win32: started through the C runtime (_beginthreadex, so the
// runtime's per-thread data is set up), prioritised with SetThreadPriority and
// joined with WaitForSingleObject.
#include "platform/thread.h"

#include <new>

#include <process.h>
#include <windows.h>

struct PlatformThread {
    HANDLE handle;
    ThreadEntry entry;
    void* argument;
};

namespace {

unsigned __stdcall ThreadTrampoline(void* raw)
{
    PlatformThread* thread = static_cast<PlatformThread*>(raw);
    thread->entry(thread->argument);
    return 0;
}

} // namespace

PlatformThread* StartPlatformThread(ThreadEntry entry, void* argument)
{
    PlatformThread* thread = new (std::nothrow) PlatformThread{nullptr, entry, argument};
    if (!thread)
        return nullptr;
    // The record outlives the thread: it is freed by the join, after the thread ends.
    uintptr_t handle = _beginthreadex(nullptr, 0, ThreadTrampoline, thread, 0, nullptr);
    if (handle == 0) {
        delete thread;
        return nullptr;
    }
    thread->handle = reinterpret_cast<HANDLE>(handle);
    return thread;
}

void SetPlatformThreadPriority(PlatformThread* thread, int level)
{
    if (thread)
        SetThreadPriority(thread->handle, level);
}

void JoinPlatformThread(PlatformThread* thread)
{
    if (!thread)
        return;
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    delete thread;
}

void YieldPlatformThread()
{
    Sleep(0);
}

void SleepPlatformThread(int milliseconds)
{
    if (milliseconds > 0)
        Sleep(static_cast<DWORD>(milliseconds));
}
