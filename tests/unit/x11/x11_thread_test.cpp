#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

#include "platform/thread.h"

namespace {

struct Probe {
    std::atomic<int> release{0};
    std::atomic<pid_t> id{0};
    std::atomic<int> nice{-100};
};

void Wait(void* raw)
{
    Probe* probe = static_cast<Probe*>(raw);
    probe->id = static_cast<pid_t>(syscall(SYS_gettid));
    while (!probe->release.load())
        YieldPlatformThread();
    probe->nice = getpriority(PRIO_PROCESS, 0); // the calling thread's own nice value
}

int NiceAfter(int level)
{
    Probe probe;
    PlatformThread* thread = StartPlatformThread(Wait, &probe);
    EXPECT_NE(thread, nullptr);
    SetPlatformThreadPriority(thread, level);
    probe.release = 1;
    JoinPlatformThread(thread);
    return probe.nice.load();
}

} // namespace

TEST(X11Thread, PriorityLevelsLowerTheThreadsNiceValueOnly)
{
    errno = 0;
    const int base = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    EXPECT_EQ(NiceAfter(-2), std::min(base + 10, 19));
    EXPECT_EQ(NiceAfter(-1), std::min(base + 5, 19));
    EXPECT_EQ(NiceAfter(0), base);
    EXPECT_EQ(NiceAfter(3), base); // not a level: no change
    // The calling thread keeps its own value.
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), base);
}

TEST(X11Thread, RunsTheEntryWithItsArgumentAndJoinsIt)
{
    static std::atomic<int> seen{0};
    int value = 41;
    PlatformThread* thread = StartPlatformThread(
        [](void* argument) { seen = *static_cast<int*>(argument) + 1; }, &value);
    ASSERT_NE(thread, nullptr);
    JoinPlatformThread(thread);
    EXPECT_EQ(seen.load(), 42);
    JoinPlatformThread(nullptr); // ignored
    SetPlatformThreadPriority(nullptr, -2);
}
