#pragma once
// CDelayNetwork: the reverb's late tail, four delay lines of fixed lengths
// (601, 691, 773, 839 samples), each followed by a second-order Butterworth
// low-pass (shared coefficients), mixed back through feedback * (I - ones/2),
// a Householder reflection. Gain and feedback glide toward their targets.
//
// Threads: SetSampleRate allocates nothing (the lines are fixed arrays); all
// operations may run on the audio thread.

#include <array>

class CDelayNetwork {
public:
    static constexpr int kLines = 4;
    static constexpr std::array<int, kLines> kLengths = {601, 691, 773, 839};

    void SetSampleRate(int sampleRate);   // clears the lines
    void Clear() noexcept;
    void SetFeedbackTarget(double value) noexcept { feedbackTarget = value; }
    void SetGainTarget(double value) noexcept { gainTarget = value; }
    /// Lands both glides on their targets (at creation).
    void JumpToTargets() noexcept;
    void SetCutoff(double cutoffHz) noexcept;

    /// One sample: feeds in, tail out.
    void Process(double feedLeft, double feedRight, double& outLeft, double& outRight) noexcept;

    double Feedback() const { return feedback; }
    double Gain() const { return gain; }
    double B0() const { return b0; }

private:
    struct Line {
        std::array<double, 839> samples{};
        int position = 0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };

    std::array<Line, kLines> lines;                // state
    double feedback = 0.0, gain = 0.0;
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0; // coefficients
    double feedbackTarget = 0.0, gainTarget = 0.0; // settings
    int sampleRate = 44100;
};
