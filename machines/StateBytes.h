#pragma once
// Little-endian integers in the machines' own state blocks, read and
// written byte by byte so that the blocks are the same on every processor.

#include <cstdint>

inline std::int32_t ReadStateInt32(const unsigned char* at)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                                     static_cast<std::uint32_t>(at[2]) << 16 |
                                     static_cast<std::uint32_t>(at[3]) << 24);
}

inline void WriteStateInt32(unsigned char* at, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(bits >> (8 * i));
}
