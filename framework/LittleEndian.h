#pragma once
// Little-endian integers in files and state blocks, read and written byte by
// byte so that what one processor writes every other one reads alike.

#include <cstdint>

inline std::uint16_t ReadLittleEndian16(const unsigned char* at) noexcept
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

inline std::uint32_t ReadLittleEndian32(const unsigned char* at) noexcept
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

inline std::int32_t ReadLittleEndianInt32(const unsigned char* at) noexcept
{
    return static_cast<std::int32_t>(ReadLittleEndian32(at));
}

inline std::uint64_t ReadLittleEndian64(const unsigned char* at) noexcept
{
    return static_cast<std::uint64_t>(ReadLittleEndian32(at)) |
           static_cast<std::uint64_t>(ReadLittleEndian32(at + 4)) << 32;
}

inline void WriteLittleEndian16(unsigned char* at, std::uint16_t value) noexcept
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

inline void WriteLittleEndian32(unsigned char* at, std::uint32_t value) noexcept
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline void WriteLittleEndian64(unsigned char* at, std::uint64_t value) noexcept
{
    WriteLittleEndian32(at, static_cast<std::uint32_t>(value));
    WriteLittleEndian32(at + 4, static_cast<std::uint32_t>(value >> 32));
}
