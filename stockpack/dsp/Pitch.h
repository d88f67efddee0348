#pragma once
// The stock machines count pitch in octaves, o = log2(Hz / 440) + 5, so that
// A440 is octave 5; filter cutoffs, oscillators, glides and envelopes all
// move on that one scale and convert only here.

#include <cmath>

inline double OctavesToHz(double octaves) noexcept
{
    return 440.0 * std::exp2(octaves - 5.0);
}

inline double HzToOctaves(double hz) noexcept
{
    return std::log2(hz / 440.0) + 5.0;
}

/// Equal temperament, MIDI note 69 at 440 Hz.
inline double NoteToHz(int note) noexcept
{
    return 440.0 * std::exp2((note - 69) / 12.0);
}
