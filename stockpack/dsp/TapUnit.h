#pragma once
// CTapUnit: a stereo FIR of a fixed coefficient list over a circular delay
// line per channel, scaled by a gain. This is the dense form, where every
// coefficient is a tap.
//
// The sparse form (lists of non-zero taps per output with a crossfade
// between tap sets), which the reverb uses, is CSparseTapUnit.
//
// Threads: Process on the audio thread; the constructor allocates.

#include <vector>

#include "stockpack/dsp/StereoPair.h"

class CTapUnit {
public:
    CTapUnit(std::vector<double> coefficients, double gain);

    /// out = gain * (coefficients convolved with in), per channel.
    void Process(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                 int frames) noexcept;

    int TapCount() const { return static_cast<int>(coefficients.size()); }
    double Gain() const { return gain; }
    const std::vector<double>& Coefficients() const { return coefficients; }

private:
    /// Both channels interleaved, kept twice over so that the taps always
    /// read one contiguous run of it, without wrapping inside the sum.
    std::vector<StereoPair> line;   // state
    int position = 0;
    std::vector<double> coefficients;   // settings
    double gain;
};
