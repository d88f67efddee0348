#pragma once
// CSineTriangleOscillator: a table oscillator that crossfades, sample by
// sample, between a sine table and a triangle table read at the same
// phase; the drum bodies use it to add overtones that follow their
// envelopes. Pitch is in octaves, 440 * 2^(pitch - 5) Hz. Audio thread only
// once rendering starts.
//
// A drum's pitch sweep gives the same pitches, in the same order, on every
// hit, so the phase steps of recent pitches are kept in the order they came
// (a ring, with a table hashed on the pitch's bits to find where a repeated
// run starts): a sweep heard before then costs one comparison a sample, in
// memory read in order, instead of an exp2.

#include <limits>

#include "stockpack/dsp/RecentRun.h"
#include "stockpack/dsp/Tables.h"

class CSineTriangleOscillator {
public:
    CSineTriangleOscillator() { keptSteps.Resize(kKeptSteps); }
    void SetTables(CountedTable sine, CountedTable triangle);
    void SetSampleRate(int sampleRate);
    void SetPhase(double phase) { this->phase = phase; }

    /// out[i] = (1 - s) * sine + s * triangle with s = triangleShare[i]
    /// (null: 0), then the phase advances by the frequency of pitch[i].
    /// out may be pitch, not triangleShare.
    void Render(double* out, const double* pitch, const double* triangleShare, int frames) noexcept;

    double Phase() const { return phase; }

private:
    static double Read(CountedTable table, double fraction, int i0, int i1) noexcept;
    /// The phase step of a pitch: OctavesToHz(pitch) / rate.
    double StepFor(double pitch) noexcept;
    void ForgetSteps() noexcept;

    struct KeptStep {
        double pitch = std::numeric_limits<double>::quiet_NaN();   // NaN matches nothing
        double step = 0.0;
        bool Matches(double p) const { return pitch == p; }
    };
    static constexpr int kKeptSteps = 4096;
    CRecentRun<KeptStep, double> keptSteps;

    double phase = 0.0;          // state
    double inverseRate = 1.0 / 44100;   // derived

    CountedTable sine, triangle; // settings
};
