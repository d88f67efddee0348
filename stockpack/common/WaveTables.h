#pragma once
// WaveTables: the oscillator and band-limiting tables every stock machine
// shares, built once when the library starts and only read afterwards (by
// audio code, without locks).
//
// - sine and cosine, one period of 8192 points (library globals);
// - triangle, falling saw and square, one period of 8192 points;
// - the band-limited step (minBLEP, 32 zero crossings, oversampling 256,
//   16385 values ending at exactly 1.0), read from the library's "BINARY"
//   resource 149 that the build generates, and generated here only when
//   that resource is missing or damaged;
// - the band-limited impulse (8 zero crossings, oversampling 16, 257 values,
//   minimum-phase, not integrated), generated here;
// - the integrated step: the running sum of the step, ending at exactly 1.0.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stockpack/common/StepTableFormat.h"
#include "stockpack/dsp/Lfo.h"
#include "stockpack/dsp/Tables.h"

namespace platform {
struct ResourceView;
}

/// The library-global sine and cosine tables; filled by the first WaveTables.
CountedTable SineTable();
CountedTable CosineTable();

class WaveTables {
public:
    /// Reads the step table from this module's resource 149.
    WaveTables();
    /// Reads the step table from the given resource bytes (which may be
    /// empty or damaged: the table is then generated).
    explicit WaveTables(const platform::ResourceView& stepResource);
    WaveTables(const WaveTables&) = delete;
    WaveTables& operator=(const WaveTables&) = delete;

    CountedTable Triangle() const { return View(triangle); }
    CountedTable Saw() const { return View(saw); }
    CountedTable Square() const { return View(square); }
    const BandLimitedTable& Step() const { return step; }
    const BandLimitedTable& Impulse() const { return impulse; }
    const BandLimitedTable& IntegratedStep() const { return integratedStep; }
    LfoTables ForLfo() const;

    /// Whether the step table came from the resource (false: generated).
    bool StepFromResource() const { return stepFromResource; }

private:
    void Build(const unsigned char* stepData, std::size_t stepSize);
    static CountedTable View(const std::vector<double>& values)
    {
        return {values.data(), static_cast<std::int32_t>(values.size())};
    }

    std::vector<double> triangle, saw, square;
    std::vector<double> stepValues, impulseValues, integratedValues;
    std::vector<double> stepRowValues, stepRowSlopes;
    BandLimitedTable step, impulse, integratedStep;
    bool stepFromResource = false;
};
