#include "platform/Random.h"

#include <atomic>
#include <cstdlib>

#include "platform/Clock.h"

namespace platform {

namespace {

std::atomic<std::uint32_t>& State()
{
    static std::atomic<std::uint32_t> state{DefaultRandomSeed()};
    return state;
}

// The classic linear congruential step whose bits 16 to 30 give the value.
constexpr std::uint32_t Step(std::uint32_t state)
{
    return state * 214013u + 2531011u;
}

} // namespace

std::uint32_t DefaultRandomSeed() noexcept
{
    if (const char* text = std::getenv("CORVANE_SEED"); text != nullptr && text[0] != '\0') {
        char* end = nullptr;
        const unsigned long value = std::strtoul(text, &end, 0);
        if (end != text && *end == '\0')
            return static_cast<std::uint32_t>(value);
    }
    return GetTickCount();
}

int Random() noexcept
{
    auto& state = State();
    std::uint32_t current = state.load(std::memory_order_relaxed);
    std::uint32_t next;
    do {
        next = Step(current);
    } while (!state.compare_exchange_weak(current, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7fffu);
}

void RandomFill(int* values, int count) noexcept
{
    auto& state = State();
    std::uint32_t current = state.load(std::memory_order_relaxed);
    std::uint32_t next;
    do {
        next = current;
        for (int i = 0; i < count; ++i) {
            next = Step(next);
            values[i] = static_cast<int>((next >> 16) & 0x7fffu);
        }
    } while (!state.compare_exchange_weak(current, next, std::memory_order_relaxed));
}

void SeedRandom(std::uint32_t seed) noexcept
{
    State().store(seed, std::memory_order_relaxed);
}

} // namespace platform
