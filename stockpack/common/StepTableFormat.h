#pragma once
// The layout of the band-limited step table as the stock library carries it
// in its "BINARY" resource 149, written at build time by the steptable tool
// and read at start-up: int32 zero crossings, int32 oversampling, int32
// count, then count doubles, all little-endian.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr int kStepTableResourceId = 149;
inline constexpr const char* kStepTableResourceType = "BINARY";
inline constexpr int kStepZeroCrossings = 32;
inline constexpr int kStepOversampling = 256;
inline constexpr int kImpulseZeroCrossings = 8;
inline constexpr int kImpulseOversampling = 16;

struct StepTableData {
    std::int32_t zeroCrossings = 0;
    std::int32_t oversampling = 0;
    std::vector<double> values;
};

/// The table in the resource bytes, or nothing when the header is not that
/// of a usable table (count not 2 * crossings * oversampling + 1, a span
/// longer than the oscillators correct) or the bytes end early.
std::optional<StepTableData> ParseStepTable(const unsigned char* data, std::size_t size);
/// The bytes of a table in the resource layout.
std::vector<unsigned char> SerializeStepTable(const StepTableData& table);

