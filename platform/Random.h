#pragma once
// The one random generator of the program: 15-bit values 0 .. 32767. It is
// seeded from the tick count, or from CORVANE_SEED when that is set, so that
// renders and tests can repeat exactly.

#include <cstdint>

namespace platform {

constexpr int kRandomMaximum = 32767;

/// Next value in 0 .. kRandomMaximum. Any thread.
int Random() noexcept;
/// Restarts the sequence from seed.
void SeedRandom(std::uint32_t seed) noexcept;
/// The seed the generator starts from: CORVANE_SEED when set to a number,
/// else the tick count.
std::uint32_t DefaultRandomSeed() noexcept;

} // namespace platform
