// CMutex: the recursive, counting lock inside every machine.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/Mutex.h"
#include "tests/framework/Waiting.h"

namespace {

TEST(Mutex, IsLockedCountsNesting)
{
    CMutex mutex;
    EXPECT_FALSE(mutex.IsLocked());
    mutex.Lock();
    mutex.Lock();   // the owner may take it again
    EXPECT_TRUE(mutex.IsLocked());
    EXPECT_TRUE(mutex.IsLockedByCaller());
    mutex.Unlock();
    EXPECT_TRUE(mutex.IsLocked());
    mutex.Unlock();
    EXPECT_FALSE(mutex.IsLocked());
    EXPECT_FALSE(mutex.IsLockedByCaller());
}

TEST(Mutex, OtherThreadsSeeTheLockButDoNotOwnIt)
{
    CMutex mutex;
    mutex.Lock();
    bool seenLocked = false;
    bool seenOwned = true;
    std::thread other([&] {
        seenLocked = mutex.IsLocked();
        seenOwned = mutex.IsLockedByCaller();
    });
    other.join();
    mutex.Unlock();
    EXPECT_TRUE(seenLocked);
    EXPECT_FALSE(seenOwned);
}

TEST(Mutex, ExcludesOtherThreads)
{
    constexpr int kThreads = 3;
    constexpr int kRounds = 20000;
    CMutex mutex;
    long counter = 0;   // deliberately not atomic: only the lock protects it
    std::atomic<int> insideAtOnce{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                mutex.Lock();
                mutex.Lock();
                if (insideAtOnce.fetch_add(1) != 0)
                    overlaps.fetch_add(1);
                ++counter;
                insideAtOnce.fetch_sub(1);
                mutex.Unlock();
                mutex.Unlock();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, static_cast<long>(kThreads) * kRounds);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_FALSE(mutex.IsLocked());
}

TEST(Mutex, DestroyedWhileLocked)
{
    // Once and twice nested: the destructor gives back one level and frees
    // the lock without waiting on it.
    waiting::Finishes("destroying a locked mutex", [] {
        auto* once = new CMutex;
        once->Lock();
        delete once;
        auto* twice = new CMutex;
        twice->Lock();
        twice->Lock();
        delete twice;
    });

    // Held by another thread: destroying it must not wait for that thread.
    auto* mutex = new CMutex;
    std::thread holder([&] { mutex->Lock(); });
    holder.join();
    waiting::Finishes("destroying a mutex another thread holds", [&] { delete mutex; });
}

} // namespace
