#pragma once
// The random generator of a module: 15-bit values 0 .. 32767, seeded from
// the tick count, or from CORVANE_SEED when that is set, so that renders and
// tests can repeat exactly. The program has one; a plug-in library that links
// the platform (the stock library does) has a copy of its own, with its own
// sequence, which its machines seed in the same way.

#include <cstdint>

namespace platform {

constexpr int kRandomMaximum = 32767;

/// Next value in 0 .. kRandomMaximum. Any thread.
int Random() noexcept;
/// The next count values, as count calls of Random would give them when no
/// other thread draws meanwhile; one atomic exchange for all of them.
void RandomFill(int* values, int count) noexcept;
/// Restarts the sequence from seed.
void SeedRandom(std::uint32_t seed) noexcept;
/// The seed the generator starts from: CORVANE_SEED when set to a number,
/// else the tick count.
std::uint32_t DefaultRandomSeed() noexcept;

} // namespace platform
