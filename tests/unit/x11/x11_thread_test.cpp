#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>

#include "platform/thread.h"

TEST(X11Thread, RunsTheEntryJoinsItAndLowersOnlyItsNiceValue)
{
    errno = 0;
    const int base = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    const int cases[][2] = {
        {-2, std::min(base + 10, 19)}, {-1, std::min(base + 5, 19)}, {0, base}, {3, base}};
    for (const auto& c : cases) {
        // The thread waits for the level to be set, then reads its own nice value.
        std::atomic<int> nice{-100};
        PlatformThread* thread = StartPlatformThread(
            [](void* raw) {
                auto* nice = static_cast<std::atomic<int>*>(raw);
                while (nice->load() == -100)
                    YieldPlatformThread();
                *nice = getpriority(PRIO_PROCESS, 0);
            },
            &nice);
        ASSERT_NE(thread, nullptr);
        SetPlatformThreadPriority(thread, c[0]);
        nice = -99;
        JoinPlatformThread(thread);
        EXPECT_EQ(nice.load(), c[1]) << "level " << c[0];
    }
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), base) << "the calling thread keeps its value";
    JoinPlatformThread(nullptr);
    SetPlatformThreadPriority(nullptr, -2);
}
