// CSemaphore: the counting semaphore the engine pairs its releases and
// waits with.

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Error.h"
#include "framework/Semaphore.h"

namespace {

/// The message operation throws; "(no error)" when it returns.
template <typename Operation>
std::string ErrorOf(Operation operation)
{
    try {
        operation();
    } catch (const CError& error) {
        return error.what();
    }
    return "(no error)";
}

/// "<prefix>, Error Code 0x<hex digits>".
void ExpectCodedError(const std::string& message, const std::string& prefix)
{
    EXPECT_TRUE(std::regex_match(message, std::regex(prefix + ", Error Code 0x[0-9a-f]+"))) << message;
}

TEST(Semaphore, ReleaseAndWaitPairAcrossThreads)
{
    constexpr int kRounds = 5000;
    CSemaphore request;
    CSemaphore done;
    request.Create(0, 1);
    done.Create(0, 1);
    int shared = 0;   // handed back and forth; the semaphores order the accesses
    int mismatches = 0;
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            request.Wait();
            if (shared != 2 * i + 1)
                ++mismatches;
            ++shared;
            done.Release();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        ++shared;
        request.Release();   // maximum 1: a release the worker missed would throw here
        done.Wait();
    }
    worker.join();
    EXPECT_EQ(shared, 2 * kRounds);
    EXPECT_EQ(mismatches, 0);
}

TEST(Semaphore, ConcurrentReleasesAreAllCounted)
{
    constexpr int kPerProducer = 5000;
    constexpr int kProducers = 2;
    constexpr int kMaximum = kPerProducer * kProducers;
    CSemaphore semaphore;
    semaphore.Create(0, kMaximum);
    std::atomic<int> releaseErrors{0};
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&] {
            for (int i = 0; i < kPerProducer; ++i) {
                try {
                    semaphore.Release();
                } catch (const CError&) {
                    releaseErrors.fetch_add(1);
                }
            }
        });
    }
    for (int i = 0; i < kMaximum; ++i)
        semaphore.Wait();
    for (std::thread& producer : producers)
        producer.join();
    EXPECT_EQ(releaseErrors.load(), 0);
    // Exactly empty again: the whole maximum fits, one more does not.
    semaphore.Release(kMaximum);
    ExpectCodedError(ErrorOf([&] { semaphore.Release(); }), "Can't Release Semaphore");
}

TEST(Semaphore, ReleasePastTheMaximumThrowsAndCountsNothing)
{
    CSemaphore semaphore;
    semaphore.Create(1, 3);
    semaphore.Release();
    ExpectCodedError(ErrorOf([&] { semaphore.Release(2); }), "Can't Release Semaphore");
    semaphore.Release();
    ExpectCodedError(ErrorOf([&] { semaphore.Release(); }), "Can't Release Semaphore");
    // The count is 3, as if the refused releases never happened.
    semaphore.Wait();
    semaphore.Wait();
    semaphore.Wait();
    semaphore.Release(3);
    ExpectCodedError(ErrorOf([&] { semaphore.Release(); }), "Can't Release Semaphore");
}

TEST(Semaphore, WaitOnASemaphoreNeverCreatedThrows)
{
    CSemaphore semaphore;
    EXPECT_FALSE(semaphore.IsCreated());
    ExpectCodedError(ErrorOf([&] { semaphore.Wait(); }), "Can't Lock Semaphore");
    ExpectCodedError(ErrorOf([&] { semaphore.Release(); }), "Can't Release Semaphore");

    semaphore.Create(1, 1);
    semaphore.Wait();
    semaphore.Close();
    ExpectCodedError(ErrorOf([&] { semaphore.Wait(); }), "Can't Lock Semaphore");
}

TEST(Semaphore, CreateWithBadArgumentsThrows)
{
    const int arguments[][2] = {{2, 1}, {-1, 5}, {0, 0}, {0, -3}};
    for (const auto& [initial, maximum] : arguments) {
        CSemaphore semaphore;
        ExpectCodedError(ErrorOf([&] { semaphore.Create(initial, maximum); }), "Can't Create Semaphore");
        EXPECT_FALSE(semaphore.IsCreated()) << initial << ", " << maximum;
    }
}

TEST(Semaphore, CreatingAgainStartsFromTheNewCount)
{
    CSemaphore semaphore;
    semaphore.Create(0, 1);
    semaphore.Create(2, 2);
    semaphore.Wait();
    semaphore.Wait();
    semaphore.Release(2);
    ExpectCodedError(ErrorOf([&] { semaphore.Release(); }), "Can't Release Semaphore");
}

} // namespace
