#pragma once
// CFormantFilter: four band-pass bands at the formant frequencies of a
// vowel, summed. Each band is a CBiquadFilter in band-pass mode (bandwidth
// equal to its centre frequency, output gain 16) whose centre follows its own
// glide unit, so a new vowel moves every band to its new frequency at half a
// second per octave, in a straight line. The first vowel after construction
// or Reset is taken at once.
//
// Works in chunks of its own fixed size, so it needs no buffers sized from
// outside. Audio thread only once rendering starts.

#include <array>

#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/Portamento.h"

class CFormantFilter {
public:
    static constexpr int kBands = 4;
    static constexpr double kBandGain = 16.0;
    static constexpr double kGlideSecondsPerOctave = 0.5;

    CFormantFilter();

    void SetSampleRate(int sampleRate);
    /// The four formant frequencies of the vowel to sound.
    void SetFormants(const std::array<double, kBands>& frequenciesHz);
    /// Clears the band histories; the bands keep their frequencies.
    void ClearHistories() noexcept;
    /// Also forgets the frequencies: the next vowel is taken at once.
    void Reset() noexcept;

    /// in and out may be the same array.
    void Process(const double* in, double* out, int frames) noexcept;

    /// The centre frequency band b is gliding through now.
    double BandHz(int band) const;
    bool IsGliding() const;

private:
    static constexpr int kChunk = 64;

    std::array<CBiquadFilter, kBands> bands;
    std::array<CPortamento, kBands> glides;
    std::array<double, kChunk> pitch{};
    std::array<double, kChunk> bandOut{};
    std::array<double, kChunk> input{};
};
