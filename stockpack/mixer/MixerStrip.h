#pragma once
// CMixerStrip: the processor of one mixer strip, both channels at once: a
// three-band equaliser whose band gains glide toward their targets, then a
// level gain per channel and two send gains that glide toward targets
// handed in with every block.
//
// The bands come from two chains of four one-pole low-passes, at 880 Hz
// (the low band) and at 5000 Hz (whose complement against the input,
// delayed by the chain's three-sample history, is the high band). The mid
// band is what remains, so with all band gains at 1 the three bands add up
// to the input delayed by three samples.
//
// The left and right channels run side by side in one pair of doubles, so
// each filter step is one vector instruction for both.
//
// Audio thread only, apart from the setters, which the owning machine calls
// under its lock.

#include "stockpack/dsp/StereoPair.h"

class CMixerStrip {
public:
    static constexpr double kLowCornerHz = 880.0;
    static constexpr double kHighCornerHz = 5000.0;
    static constexpr int kSendCount = 2;

    explicit CMixerStrip(int sampleRate = 44100);

    /// Recomputes the two coefficients only; the filter states are kept.
    void SetSampleRate(int sampleRate);
    void SetBandTargets(double low, double mid, double high);

    struct Targets {
        double level[2] = {0.0, 0.0};   // left, right
        double send[kSendCount] = {0.0, 0.0};
    };

    /// Buffers of one block for the two channels. A send whose left pointer
    /// is null is not fed.
    struct Buffers {
        const double* inLeft;
        const double* inRight;
        double* outLeft;
        double* outRight;
        double* sendLeft[kSendCount];
        double* sendRight[kSendCount];
    };

    /// Processes frames samples: adds e * level to the outputs and, for the
    /// sends given, e * send to each. Stores the largest |e * level| of the
    /// block per channel in peaks.
    void Process(const Buffers& buffers, const Targets& targets, int frames, double peaks[2]) noexcept;

    double LevelGain(int channel) const { return levelGain[channel]; }
    double SendGain(int send) const { return sendGain[send]; }
    double LowGain() const { return lowGain; }
    double MidGain() const { return midGain; }
    double HighGain() const { return highGain; }

private:
    using Pair = StereoPair;

    /// The two filter chains and the input history, both channels. The
    /// loops work on a local copy, so that their stores into the output
    /// buffers cannot force the state back to memory every sample.
    struct Bands {
        Pair l0{}, l1{}, l2{}, l3{};   // low-pass chain
        Pair h0{}, h1{}, h2{}, h3{};   // reference chain for the high band
        Pair s1{}, s2{}, s3{};         // input history, s3 the oldest
    };

    bool IsSettled(const Targets& targets) const noexcept;
    void ProcessGliding(const Buffers& buffers, const Targets& targets, int frames, double peaks[2]) noexcept;
    void ProcessSettled(const Buffers& buffers, int frames, double peaks[2]) noexcept;

    Bands bands;
    double lf = 0.0, lk = 1.0;   // coefficients, lk = 1 - lf
    double hf = 0.0, hk = 1.0;
    double lowGain = 1.0, midGain = 1.0, highGain = 1.0;
    double levelGain[2] = {1.0, 1.0};
    double sendGain[kSendCount] = {0.0, 0.0};
    double lowTarget = 1.0, midTarget = 1.0, highTarget = 1.0;
};
