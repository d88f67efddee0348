#include "platform/Semaphore.h"

#include <atomic>
#include <climits>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "TestSupport.h"

using platform::Semaphore;
using platform_test::Watchdog;

TEST(Semaphore, ReleasePastTheMaximumFailsAndLeavesTheCount)
{
    Semaphore semaphore(1, 3);
    EXPECT_EQ(semaphore.Count(), 1);
    EXPECT_EQ(semaphore.Maximum(), 3);

    EXPECT_TRUE(semaphore.Release());
    EXPECT_EQ(semaphore.Count(), 2);
    // 2 + 2 would pass 3: refused as a whole, not clipped.
    EXPECT_FALSE(semaphore.Release(2));
    EXPECT_EQ(semaphore.Count(), 2);
    EXPECT_TRUE(semaphore.Release(1));
    EXPECT_EQ(semaphore.Count(), 3);
    EXPECT_FALSE(semaphore.Release());
    EXPECT_EQ(semaphore.Count(), 3);
    // A count so large that maximum - count goes far below zero.
    EXPECT_FALSE(semaphore.Release(INT_MAX));
    EXPECT_EQ(semaphore.Count(), 3);
}

TEST(Semaphore, NonPositiveReleaseIsRefused)
{
    Semaphore semaphore(0, 4);
    EXPECT_FALSE(semaphore.Release(0));
    EXPECT_FALSE(semaphore.Release(-1));
    EXPECT_FALSE(semaphore.Release(INT_MIN));
    EXPECT_EQ(semaphore.Count(), 0);
    EXPECT_TRUE(semaphore.Release(4));
    EXPECT_EQ(semaphore.Count(), 4);
}

TEST(Semaphore, WaitTakesOneAndWaitForTakesOnlyWhatIsThere)
{
    Semaphore semaphore(2, 2);
    semaphore.Wait();
    EXPECT_EQ(semaphore.Count(), 1);
    EXPECT_TRUE(semaphore.WaitFor(0));
    EXPECT_EQ(semaphore.Count(), 0);
    EXPECT_FALSE(semaphore.WaitFor(0));
    EXPECT_FALSE(semaphore.WaitFor(5));
    EXPECT_EQ(semaphore.Count(), 0);
}

TEST(Semaphore, WaitForSeesAReleaseFromAnotherThread)
{
    Semaphore semaphore(0, 1);
    std::thread releaser([&] {
        // Late enough that the waiter is usually parked already.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_TRUE(semaphore.Release());
    });
    EXPECT_TRUE(semaphore.WaitFor(30000));
    releaser.join();
    EXPECT_EQ(semaphore.Count(), 0);
}

// Releasing several at once must wake that many parked waiters, not one: the
// rest would sleep on a count that is there for them.
TEST(Semaphore, ReleaseOfSeveralWakesAsManyParkedWaiters)
{
    constexpr int kWaiters = 3;
    Semaphore semaphore(0, kWaiters);
    std::atomic<pid_t> tids[kWaiters] = {};
    std::atomic<int> woken{0};

    Watchdog watchdog([&] { semaphore.Release(); });
    std::vector<std::thread> waiters;
    for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([&, i] {
            tids[i] = platform_test::CurrentTid();
            semaphore.Wait();
            woken.fetch_add(1);
        });
    }
    for (auto& tid : tids) {
        EXPECT_TRUE(platform_test::WaitUntil(
            [&] { return tid.load() != 0 && platform_test::IsThreadSleeping(tid.load()); }));
    }
    EXPECT_TRUE(semaphore.Release(kWaiters));
    for (auto& waiter : waiters)
        waiter.join();
    watchdog.Finish();

    EXPECT_FALSE(watchdog.Fired()) << "a parked waiter slept through the release";
    EXPECT_EQ(woken.load(), kWaiters);
}

// The engine's pattern: every release is matched by one wait on another
// thread. With a maximum of 1 a spurious extra wake would make a later release
// find the count already at 1 and fail; a lost wake would stop both sides.
TEST(Semaphore, CrossThreadReleaseAndWaitPairUpOverManyRounds)
{
    constexpr int kRounds = 20000;
    Semaphore ping(0, 1);
    Semaphore pong(0, 1);
    std::atomic<int> failedReleases{0};

    Watchdog watchdog([&] {
        ping.Release();
        pong.Release();
    });
    std::thread responder([&] {
        for (int i = 0; i < kRounds; ++i) {
            ping.Wait();
            if (!pong.Release())
                failedReleases.fetch_add(1);
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        if (!ping.Release())
            failedReleases.fetch_add(1);
        pong.Wait();
    }
    responder.join();
    watchdog.Finish();

    EXPECT_FALSE(watchdog.Fired()) << "a wake was lost";
    EXPECT_EQ(failedReleases.load(), 0);
    EXPECT_EQ(ping.Count(), 0);
    EXPECT_EQ(pong.Count(), 0);
}

// Several waiters parked on one semaphore: releases of one and of several at
// a time must wake exactly as many takes as they add, no more and no fewer.
TEST(Semaphore, ManyReleasersAndWaitersBalanceExactly)
{
    constexpr int kPerProducer = 6000;
    constexpr int kProducers = 2;
    constexpr int kConsumers = 3;
    constexpr int kTotal = kPerProducer * kProducers;
    static_assert(kTotal % kConsumers == 0);
    Semaphore semaphore(0, 8);
    std::atomic<int> taken{0};

    Watchdog watchdog([&] { semaphore.Release(); });
    std::vector<std::thread> threads;
    for (int c = 0; c < kConsumers; ++c) {
        threads.emplace_back([&] {
            for (int i = 0; i < kTotal / kConsumers; ++i) {
                semaphore.Wait();
                taken.fetch_add(1);
            }
        });
    }
    for (int p = 0; p < kProducers; ++p) {
        // One producer adds in pairs, which wakes every waiter at once.
        const int step = p == 0 ? 1 : 2;
        threads.emplace_back([&, step] {
            for (int released = 0; released < kPerProducer;) {
                if (semaphore.Release(step))
                    released += step;
                else
                    std::this_thread::yield();   // at the maximum: let the waiters catch up
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    watchdog.Finish();

    EXPECT_FALSE(watchdog.Fired()) << "a wake was lost";
    EXPECT_EQ(taken.load(), kTotal);
    EXPECT_EQ(semaphore.Count(), 0);
    EXPECT_FALSE(semaphore.WaitFor(0));
}
