#pragma once
// CSineTriangleOscillator: a table oscillator that crossfades, sample by
// sample, between a sine table and a triangle table read at the same
// phase; the drum bodies use it to add overtones that follow their
// envelopes. Pitch is in octaves, 440 * 2^(pitch - 5) Hz. Audio thread only
// once rendering starts.

#include "stockpack/dsp/Tables.h"

class CSineTriangleOscillator {
public:
    void SetTables(CountedTable sine, CountedTable triangle);
    void SetSampleRate(int sampleRate);
    void SetPhase(double phase) { this->phase = phase; }

    /// out[i] = (1 - s) * sine + s * triangle with s = triangleShare[i]
    /// (null: 0), then the phase advances by the frequency of pitch[i].
    void Render(double* out, const double* pitch, const double* triangleShare, int frames) noexcept;

    double Phase() const { return phase; }

private:
    static double Read(CountedTable table, double fraction, int i0, int i1) noexcept;

    double phase = 0.0;          // state
    double inverseRate = 1.0 / 44100;   // derived
    CountedTable sine, triangle; // settings
};
