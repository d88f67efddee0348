#pragma once
// Spectral measurements of a steady periodic tone, shared by the oscillator
// tests and the oscillator quality benchmark: a 7-term Blackman-Harris
// window (sidelobes near -180 dB, main lobe 7 bins either side) over a
// power-of-two length, so that aliases 120 dB down are read without the
// window's own leakage hiding them.

#include <cstddef>

namespace spectrum {

struct ToneFigures {
    /// Energy away from the harmonics of f0 against the energy at them, both
    /// between 20 Hz and 20 kHz, in dB.
    double aliasRatioDb = 0.0;
    /// The strongest bin away from the harmonics against the fundamental's
    /// strongest bin, in dB.
    double worstAliasDb = 0.0;
    /// Amplitude of the fundamental (a sinusoid of amplitude A reads A).
    double fundamental = 0.0;
    /// The fundamental's frequency: the centre of its main lobe.
    double fundamentalHz = 0.0;
    /// The mean (0 Hz) through the window.
    double dc = 0.0;
};

/// x holds length values, a power of two; every component within 8 bins of a
/// multiple of f0 counts as harmonic.
ToneFigures MeasureTone(const double* x, std::size_t length, double f0, double sampleRate);

/// The frequency of MIDI note n in equal temperament, note 69 = 440 Hz.
double MidiHz(int note);

} // namespace spectrum
