#pragma once
// Views of the shared read-only tables the oscillators read. The tables
// themselves belong to the library (WaveTables); a unit only keeps a view.

#include <cstdint>

/// A counted array of doubles.
struct CountedTable {
    const double* values = nullptr;
    std::int32_t count = 0;

    double operator[](int i) const { return values[i]; }
    bool Empty() const { return values == nullptr || count <= 0; }
};

/// A band-limited step or impulse sampled at oversampling points per output
/// sample across 2 x zeroCrossings samples: count = 2 * zeroCrossings *
/// oversampling + 1.
struct BandLimitedTable {
    CountedTable table;
    std::int32_t zeroCrossings = 0;
    std::int32_t oversampling = 0;
    /// Optional: for each b in 0 .. oversampling - 1, SpanSamples() entries
    /// from b * SpanSamples(): rowValues[.. + k] = table[b + k * oversampling]
    /// and rowSlopes[.. + k] = table[b + k * oversampling + 1] - that, 1 and
    /// 0 past the end. What a jump placed at b reads lies side by side
    /// instead of oversampling entries apart.
    const double* rowValues = nullptr;
    const double* rowSlopes = nullptr;

    /// How many output samples the table spans.
    int SpanSamples() const { return 2 * zeroCrossings; }
};

/// One period of a waveform at kWaveTableLength points.
inline constexpr int kWaveTableLength = 8192;
