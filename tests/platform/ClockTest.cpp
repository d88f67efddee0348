#include "platform/Clock.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "platform/Thread.h"

TEST(Clock, NeitherCounterGoesBackwardsOnAnyThread)
{
    constexpr int kSamples = 200000;
    auto sample = [](int& backwardsTicks, int& backwardsCounts) {
        std::uint32_t lastTick = platform::GetTickCount();
        std::int64_t lastCount = platform::QueryPerformanceCounter();
        for (int i = 0; i < kSamples; ++i) {
            const std::uint32_t tick = platform::GetTickCount();
            const std::int64_t count = platform::QueryPerformanceCounter();
            // The tick count wraps; a step "backwards" is one that is more
            // than half the range forwards.
            if (static_cast<std::uint32_t>(tick - lastTick) >= 0x80000000u)
                ++backwardsTicks;
            if (count < lastCount)
                ++backwardsCounts;
            lastTick = tick;
            lastCount = count;
        }
    };
    int ticks[2] = {0, 0};
    int counts[2] = {0, 0};
    std::thread other([&] { sample(ticks[1], counts[1]); });
    sample(ticks[0], counts[0]);
    other.join();
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(ticks[t], 0);
        EXPECT_EQ(counts[t], 0);
    }
}

TEST(Clock, CountersAreInMillisecondsAndNanosecondsOfOneClock)
{
    EXPECT_EQ(platform::kPerformanceFrequency, 1000000000);

    // The tick count read between two counter readings lies between them,
    // once both are in milliseconds (modulo the tick count's 32 bits).
    for (int i = 0; i < 1000; ++i) {
        const std::int64_t before = platform::QueryPerformanceCounter();
        const std::uint32_t tick = platform::GetTickCount();
        const std::int64_t after = platform::QueryPerformanceCounter();
        const auto low = static_cast<std::uint32_t>(before / 1000000);
        const auto high = static_cast<std::uint32_t>(after / 1000000);
        EXPECT_LE(static_cast<std::uint32_t>(tick - low), static_cast<std::uint32_t>(high - low)) << i;
    }

    // A sleep lasts at least what was asked, so both counters move at least
    // that far (only a lower bound: the sleep may run long on a busy machine).
    const std::int64_t countBefore = platform::QueryPerformanceCounter();
    const std::uint32_t tickBefore = platform::GetTickCount();
    platform::Sleep(25);
    const std::uint32_t tickAfter = platform::GetTickCount();
    const std::int64_t countAfter = platform::QueryPerformanceCounter();
    EXPECT_GE(countAfter - countBefore, 25 * platform::kPerformanceFrequency / 1000);
    EXPECT_GE(static_cast<std::uint32_t>(tickAfter - tickBefore), 25u);
}
