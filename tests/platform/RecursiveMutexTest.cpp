#include "platform/RecursiveMutex.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "TestSupport.h"

using platform::RecursiveMutex;
using platform_test::CurrentTid;
using platform_test::IsThreadSleeping;
using platform_test::WaitUntil;

namespace {

// Starts a thread that announces its kernel id and then blocks in Lock, and
// returns once it is parked there. A parked thread has drawn its place in the
// queue, which is what lets the tests below fix an arrival order without
// relying on how long anything takes.
struct QueuedLocker {
    std::atomic<pid_t> tid{0};
    std::atomic<bool> acquired{false};
    std::thread thread;

    ~QueuedLocker()
    {
        if (thread.joinable())
            thread.join();
    }

    template <typename Body>
    void Start(RecursiveMutex& mutex, Body body)
    {
        thread = std::thread([this, &mutex, body] {
            tid = CurrentTid();
            mutex.Lock();
            acquired = true;
            body();
            mutex.Unlock();
        });
    }
    bool WaitUntilParked()
    {
        return WaitUntil([this] { return tid.load() != 0 && IsThreadSleeping(tid.load()); });
    }
};

} // namespace

TEST(RecursiveMutex, NestsForTheOwnerAndReleasesAtTheLastLevel)
{
    RecursiveMutex mutex;
    EXPECT_FALSE(mutex.IsHeldByCurrentThread());

    mutex.Lock();
    mutex.Lock();
    EXPECT_TRUE(mutex.TryLock());
    EXPECT_EQ(mutex.Depth(), 3);
    EXPECT_TRUE(mutex.IsHeldByCurrentThread());

    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.IsHeldByCurrentThread());
    EXPECT_EQ(mutex.Depth(), 1);

    // Until the last level goes, nobody else gets in.
    bool otherGotIt = true;
    std::thread([&] { otherGotIt = mutex.TryLock(); }).join();
    EXPECT_FALSE(otherGotIt);

    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.IsHeldByCurrentThread());
    // One release too many is refused rather than freeing someone else's lock.
    EXPECT_FALSE(mutex.Unlock());

    std::thread([&] {
        otherGotIt = mutex.TryLock();
        EXPECT_TRUE(mutex.IsHeldByCurrentThread());
        EXPECT_TRUE(mutex.Unlock());
    }).join();
    EXPECT_TRUE(otherGotIt);
}

TEST(RecursiveMutex, UnlockByAThreadThatDoesNotOwnItIsRefusedAndChangesNothing)
{
    RecursiveMutex mutex;
    mutex.Lock();
    mutex.Lock();

    std::thread intruder([&] {
        EXPECT_FALSE(mutex.IsHeldByCurrentThread());
        EXPECT_FALSE(mutex.Unlock());
        EXPECT_FALSE(mutex.Unlock());
        EXPECT_FALSE(mutex.TryLock());
    });
    intruder.join();

    EXPECT_TRUE(mutex.IsHeldByCurrentThread());
    EXPECT_EQ(mutex.Depth(), 2);

    // A waiter still needs both of the owner's releases.
    QueuedLocker waiter;
    waiter.Start(mutex, [] {});
    EXPECT_TRUE(waiter.WaitUntilParked());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.IsHeldByCurrentThread());
    EXPECT_FALSE(waiter.acquired);
    EXPECT_TRUE(mutex.Unlock());
    waiter.thread.join();
    EXPECT_TRUE(waiter.acquired);

    // Free again: the intruder's refused releases did not leave it owned.
    EXPECT_TRUE(mutex.TryLock());
    EXPECT_TRUE(mutex.Unlock());
}

TEST(RecursiveMutex, TryLockFailsWhileAnotherThreadWaits)
{
    RecursiveMutex mutex;
    mutex.Lock();
    QueuedLocker waiter;
    waiter.Start(mutex, [] {});
    EXPECT_TRUE(waiter.WaitUntilParked());

    bool taken = true;
    std::thread([&] { taken = mutex.TryLock(); }).join();
    EXPECT_FALSE(taken);

    EXPECT_TRUE(mutex.Unlock());
    waiter.thread.join();
    EXPECT_TRUE(waiter.acquired);
    EXPECT_FALSE(mutex.IsHeldByCurrentThread());
}

TEST(RecursiveMutex, HandsTheLockOverInArrivalOrder)
{
    RecursiveMutex mutex;
    std::vector<int> order;   // written only under the mutex
    mutex.Lock();

    constexpr int kWaiters = 4;
    QueuedLocker waiters[kWaiters];
    for (int i = 0; i < kWaiters; ++i) {
        waiters[i].Start(mutex, [&order, i] { order.push_back(i); });
        const bool parked = waiters[i].WaitUntilParked();
        EXPECT_TRUE(parked) << "waiter " << i;
        if (!parked)
            break;
    }
    // Releasing and asking again at once: the releaser arrived last, so it
    // queues behind everyone already waiting instead of barging back in.
    EXPECT_TRUE(mutex.Unlock());
    mutex.Lock();
    order.push_back(kWaiters);
    EXPECT_TRUE(mutex.Unlock());
    for (auto& waiter : waiters) {
        if (waiter.thread.joinable())
            waiter.thread.join();
    }

    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

// A worker holds its lock for each loop body and takes it again at once, so a
// thread that wants in (to stop it, to reconfigure a driver) must be served as
// soon as the worker lets go once.
TEST(RecursiveMutex, OwnerThatRetakesInALoopDoesNotStarveAWaiter)
{
    RecursiveMutex mutex;
    std::atomic<bool> holding{false};
    std::atomic<bool> go{false};
    std::atomic<long> retakes{0};
    std::atomic<bool> waiterIn{false};
    std::atomic<bool> gaveUp{false};

    std::thread owner([&] {
        mutex.Lock();
        holding = true;
        while (!go.load())
            std::this_thread::yield();
        const auto deadline = std::chrono::steady_clock::now() + platform_test::kGenerousBound;
        while (!waiterIn.load()) {
            mutex.Unlock();
            mutex.Lock();
            retakes.fetch_add(1);
            if (std::chrono::steady_clock::now() > deadline) {
                gaveUp = true;
                break;
            }
        }
        mutex.Unlock();
    });
    EXPECT_TRUE(WaitUntil([&] { return holding.load(); }));

    std::atomic<long> retakesWhenIn{-1};
    QueuedLocker waiter;
    waiter.Start(mutex, [&] {
        retakesWhenIn = retakes.load();
        waiterIn = true;
    });
    // The waiter is parked before the owner starts cycling, so it is first in
    // line at the owner's first release; the owner's retake queues behind it.
    EXPECT_TRUE(waiter.WaitUntilParked());
    go = true;

    waiter.thread.join();
    owner.join();
    EXPECT_FALSE(gaveUp) << "the waiter never got the lock";
    EXPECT_TRUE(waiterIn);
    EXPECT_EQ(retakesWhenIn.load(), 0);
}

TEST(RecursiveMutex, ExcludesOtherThreadsUnderContention)
{
    RecursiveMutex mutex;
    // Two counters moved apart by separate loads and stores, so a second
    // thread inside at the same time shows as a lost count or a mismatch.
    std::atomic<int> first{0};
    std::atomic<int> second{0};
    std::atomic<int> mismatches{0};
    constexpr int kThreads = 3;
    constexpr int kRounds = 20000;

    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                const bool nested = (i + t) % 4 == 0;
                if (i % 3 == 0) {
                    while (!mutex.TryLock())
                        std::this_thread::yield();
                } else {
                    mutex.Lock();
                }
                if (nested)
                    mutex.Lock();
                const int value = first.load(std::memory_order_relaxed);
                if (second.load(std::memory_order_relaxed) != value)
                    mismatches.fetch_add(1);
                first.store(value + 1, std::memory_order_relaxed);
                if (i % 64 == 0)
                    std::this_thread::yield();
                second.store(second.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
                if (nested)
                    mutex.Unlock();
                mutex.Unlock();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ(first.load(), kThreads * kRounds);
    EXPECT_EQ(second.load(), kThreads * kRounds);
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_FALSE(mutex.IsHeldByCurrentThread());
    EXPECT_TRUE(mutex.TryLock());
    EXPECT_TRUE(mutex.Unlock());
}

TEST(RecursiveMutex, ThreadTokensDifferBetweenLiveThreads)
{
    const std::uint64_t mine = platform::CurrentThreadToken();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(platform::CurrentThreadToken(), mine);
    std::uint64_t other = 0;
    std::thread([&] { other = platform::CurrentThreadToken(); }).join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, mine);
}
