#pragma once
// CSparseTapUnit: a mono delay line feeding two sparse FIRs (one per output),
// each a list of non-zero taps (index, value). A new tap set fades in over a
// given number of samples while the previous set fades out; a set that
// arrives during a fade replaces the incoming one and the fade goes on.
// The line also serves a fixed extra read (the tap at preDelay samples).
//
// Threads: SetLength allocates (construction, sample-rate changes);
// SetTaps and Process on the audio thread, allocation free.

#include <vector>

class CSparseTapUnit {
public:
    struct Tap {
        int index;
        double value;
    };

    /// Sizes the line for impulses of up to length taps and a pre-delay
    /// read; clears the line and all tap sets.
    void SetLength(int length, int preDelay);
    int Length() const { return impulseLength; }

    /// Takes the non-zero entries of the two dense impulses (Length() values
    /// each) as the new tap sets, crossfading over fadeSamples; 0 or less
    /// replaces the sets at once and ends a running fade.
    void SetTaps(const double* impulseLeft, const double* impulseRight, int fadeSamples) noexcept;

    /// One input sample; returns the two outputs and the pre-delayed input.
    void Process(double x, double& outLeft, double& outRight, double& preDelayed) noexcept;

    bool Fading() const { return fadeLength > 0; }
    /// The current (incoming) set's taps for output 0 (left) or 1 (right).
    const Tap* Taps(int output) const { return sets[output][kNew].data(); }
    int TapCount(int output) const { return counts[output][kNew]; }

private:
    static constexpr int kNew = 0;
    static constexpr int kOld = 1;
    double Sum(const std::vector<Tap>& taps, int count) const noexcept;

    std::vector<double> line;            // state
    int position = 0;
    double weight = 1.0;
    double weightStep = 0.0;
    int fadeLeft = 0;
    int fadeLength = 0;
    std::vector<Tap> sets[2][2];         // [output][new/old], each Length() long
    int counts[2][2] = {{0, 0}, {0, 0}};
    int impulseLength = 0;               // settings
    int preDelaySamples = 0;
};
