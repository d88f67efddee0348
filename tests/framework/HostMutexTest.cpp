// CHostMutex: the lock of drivers, threads and editors, which reports misuse
// by throwing.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/Error.h"
#include "framework/HostMutex.h"
#include "platform/RecursiveMutex.h"
#include "tests/framework/Waiting.h"

namespace {

/// Lets a test see who holds the lock underneath.
class CInspectedHostMutex : public CHostMutex {
public:
    bool HeldByCaller() const { return handle->IsHeldByCurrentThread(); }
};

std::string UnlockError(CHostMutex& mutex)
{
    try {
        mutex.Unlock();
    } catch (const CError& error) {
        return error.what();
    }
    return "(no error)";
}

/// Another thread can take and give back the lock, so nobody holds it.
void ExpectFree(CHostMutex& mutex)
{
    waiting::Finishes("taking a free host mutex", [&] {
        mutex.Lock();
        mutex.Unlock();
    });
}

TEST(HostMutex, LockAndUnlockKeepTheFlag)
{
    CInspectedHostMutex mutex;
    EXPECT_FALSE(mutex.IsLocked());
    mutex.Lock();
    EXPECT_TRUE(mutex.IsLocked());
    EXPECT_TRUE(mutex.HeldByCaller());
    mutex.Unlock();
    EXPECT_FALSE(mutex.IsLocked());
    EXPECT_FALSE(mutex.HeldByCaller());
    ExpectFree(mutex);
}

TEST(HostMutex, UnlockWhenNotLockedThrowsAndLeavesTheMutexUsable)
{
    CInspectedHostMutex mutex;
    EXPECT_EQ(UnlockError(mutex), "Mutex Not Locked, Can't Release");
    EXPECT_FALSE(mutex.IsLocked());
    ExpectFree(mutex);

    // Also after a completed Lock/Unlock pair.
    mutex.Lock();
    mutex.Unlock();
    EXPECT_EQ(UnlockError(mutex), "Mutex Not Locked, Can't Release");
    mutex.Lock();
    EXPECT_TRUE(mutex.IsLocked());
    mutex.Unlock();
    ExpectFree(mutex);
}

TEST(HostMutex, UnlockFromAThreadThatDoesNotOwnItThrows)
{
    CInspectedHostMutex mutex;
    mutex.Lock();
    std::string error;
    std::thread other([&] { error = UnlockError(mutex); });
    other.join();
    EXPECT_EQ(error, "Can't Release Mutex");
    // The refused release took nothing away: the owner still holds the lock,
    // the flag still says so, and the owner's own Unlock gives it back.
    EXPECT_TRUE(mutex.HeldByCaller());
    EXPECT_TRUE(mutex.IsLocked());
    mutex.Unlock();
    EXPECT_FALSE(mutex.HeldByCaller());
    ExpectFree(mutex);
}

TEST(HostMutex, ExcludesOtherThreads)
{
    constexpr int kThreads = 3;
    constexpr int kRounds = 20000;
    CHostMutex mutex;
    long counter = 0;   // protected by the lock alone
    std::atomic<int> unlockErrors{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                mutex.Lock();
                ++counter;
                try {
                    mutex.Unlock();
                } catch (const CError&) {
                    unlockErrors.fetch_add(1);
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, static_cast<long>(kThreads) * kRounds);
    EXPECT_EQ(unlockErrors.load(), 0);
    EXPECT_FALSE(mutex.IsLocked());
}

} // namespace
