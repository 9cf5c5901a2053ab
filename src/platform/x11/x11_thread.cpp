// Threads on POSIX: pthreads, with the Win32 priority levels mapped onto the
// per-thread nice value of Linux.
//
//   Win32 level                        nice value set on the thread
//   -2  THREAD_PRIORITY_LOWEST         process nice + 10
//   -1  THREAD_PRIORITY_BELOW_NORMAL   process nice + 5
//    0  THREAD_PRIORITY_NORMAL         process nice (unchanged)
//
// Linux keeps a nice value per thread (setpriority on the thread id), and 19
// is the weakest; the result is clamped there. Raising a thread above the
// process's own nice needs privileges, so lowering is all that is asked for.
// A failed call is ignored and the thread keeps the priority it started with.
#include "platform/thread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <new>

struct PlatformThread {
    pthread_t thread;
    ThreadEntry entry;
    void* argument;
    std::atomic<pid_t> threadId{0};
};

static void* ThreadMain(void* raw)
{
    PlatformThread* self = static_cast<PlatformThread*>(raw);
    self->threadId.store(static_cast<pid_t>(syscall(SYS_gettid)), std::memory_order_release);
    self->entry(self->argument);
    return nullptr;
}

PlatformThread* StartPlatformThread(ThreadEntry entry, void* argument)
{
    PlatformThread* thread = new (std::nothrow) PlatformThread;
    if (!thread)
        return nullptr;
    thread->entry = entry;
    thread->argument = argument;
    if (pthread_create(&thread->thread, nullptr, ThreadMain, thread) != 0) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void SetPlatformThreadPriority(PlatformThread* thread, int level)
{
    if (!thread)
        return;
    int offset;
    switch (level) {
    case -2:
        offset = 10;
        break;
    case -1:
        offset = 5;
        break;
    case 0:
        offset = 0;
        break;
    default:
        return;
    }
    // The new thread publishes its kernel id first thing; wait for it.
    pid_t id;
    while ((id = thread->threadId.load(std::memory_order_acquire)) == 0)
        sched_yield();
    errno = 0;
    const int base = getpriority(PRIO_PROCESS, 0);
    if (base == -1 && errno != 0)
        return;
    int nice = base + offset;
    if (nice > 19)
        nice = 19;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(id), nice);
}

void JoinPlatformThread(PlatformThread* thread)
{
    if (!thread)
        return;
    pthread_join(thread->thread, nullptr);
    delete thread;
}

void YieldPlatformThread()
{
    sched_yield();
}

void SleepPlatformThread(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    timespec delay{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal may cut the wait short; go on sleeping for what is left.
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}
