#pragma once
// CTableOscillator: reads one period of a shared waveform table at a phase
// that advances by frequency / sampleRate per sample, interpolating linearly
// between neighbouring entries. Used by the LFOs with the library's sine,
// triangle, saw and square tables.

#include "stockpack/dsp/Tables.h"

class CTableOscillator {
public:
    void SetTable(CountedTable table) { this->table = table; }
    void SetSampleRate(int sampleRate);
    void SetFrequency(double hz);
    void SetPhase(double phase) { this->phase = phase; }

    /// The table at phase p (0 <= p < 1).
    double ValueAt(double p) const noexcept;
    /// Writes frames values; returns true when the phase wrapped.
    bool Render(double* out, int frames) noexcept;
    /// Advances the phase; returns true when it wrapped.
    bool Skip(int frames) noexcept;

    double Phase() const { return phase; }
    double Increment() const { return increment; }

private:
    void Advance(bool& wrapped) noexcept
    {
        phase += increment;
        if (phase >= 1.0) {
            phase -= 1.0;
            wrapped = true;
        }
    }

    double phase = 0.0;      // state
    double increment = 0.0;  // derived
    CountedTable table;      // settings
    double frequency = 0.0;
    int sampleRate = 44100;
};
