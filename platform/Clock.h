#pragma once
// Time sources: a millisecond tick count that wraps like a 32-bit counter,
// and a high-resolution counter in nanoseconds.

#include <cstdint>

namespace platform {

/// Milliseconds of a steady clock, truncated to 32 bits (wraps after ~49 days).
std::uint32_t GetTickCount() noexcept;
/// Nanoseconds of a steady clock.
std::int64_t QueryPerformanceCounter() noexcept;
/// Counts per second of QueryPerformanceCounter.
constexpr std::int64_t kPerformanceFrequency = 1000000000;

} // namespace platform
