#pragma once
// CEcho ("KV DovoDorez"): a stereo echo of four independent taps. Each tap
// has a delay line per channel with feedback through a filter inside the
// loop, and one sine LFO that sweeps both lines' filters; the taps' wet
// signals and the dry signal each tap lets through are summed into "Line
// Out".
//
// Threads: Work runs on the machine's worker with the machine locked.
// SetParameter may come from the user-interface thread; it takes the
// machine's lock and applies the value to the lines at once. SetSampleRate
// and SetBlockSize allocate, under the same lock.

#include <array>
#include <vector>

#include "framework/Machine.h"
#include "stockpack/dovodorez/EchoDelayLine.h"
#include "stockpack/dsp/TableOscillator.h"

class CEcho : public CMachine {
public:
    static constexpr int kTaps = 4;
    static constexpr int kTapParameters = 8;
    static constexpr int kParameterCount = kTaps * kTapParameters;
    static constexpr int kLineInPort = 0;
    static constexpr int kLineOutPort = 1;

    /// Parameter positions within a tap; index = 8 * tap + position.
    enum Position {
        kDelayTime = 0,
        kFeedback,
        kFilterFrequency,
        kFilterBandwidth,
        kLfoAmount,
        kLfoRate,
        kWetLevel,
        kDryLevel
    };
    static constexpr int ParameterIndex(int tap, int position) { return kTapParameters * tap + position; }

    /// 10 ms .. 1 s: (2^v - 1) * 0.99 + 0.01.
    static double DelaySeconds(double value);
    /// 440 * 2^(6v - 15) Hz, about 0.013 .. 0.86 Hz.
    static double LfoRateHz(double value);

    explicit CEcho(CHost* host);
    ~CEcho() override;

    void Work() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }

    /// For tests and views: channel 0 left, 1 right.
    const CEchoDelayLine& Line(int tap, int channel) const { return taps[tap].lines[channel]; }

private:
    struct Tap {
        std::array<CEchoDelayLine, 2> lines;
        CTableOscillator lfo;
        double lfoAmount = 0.0;
        double wetGain = 0.0;
        double dryGain = 0.0;
    };

    void Apply(int tap, int position, double value);
    void SizeScratch(int length);
    void RenderTap(Tap& tap, const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                   int frames) noexcept;

    double values[kParameterCount];
    std::array<Tap, kTaps> taps;
    std::vector<double> modulation;          // scratch, one block
    std::array<std::vector<double>, 2> wet;  // scratch, one block per channel
    int sampleRate;
    int blockSize;
};
