#pragma once
// The host's machine state block: the magic "46HP", a parameter count and
// the values as doubles, little-endian. The older form "hPvC" holds 32-bit
// floats instead.

#include <cstdint>
#include <vector>

constexpr std::uint32_t kStateMagicDoubles = 0x50483634;   // the bytes "46HP"
constexpr std::uint32_t kStateMagicFloats = 0x43765068;    // the bytes "hPvC"
constexpr int kStateHeaderBytes = 8;

/// The values a block holds. A block shorter than its header gives none; a
/// count larger than the data gives only the whole values that are there,
/// and a negative count none. Any magic but "hPvC" is read as doubles.
std::vector<double> DecodeStateBlock(const void* data, int length);
/// A malloc'ed "46HP" block of the values; the caller frees it with free().
void* EncodeStateBlock(const double* values, int count, int* length);
