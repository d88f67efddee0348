#include "stockpack/mixer/MixerStrip.h"

#include <cmath>
#include <numbers>

#include "framework/Glide.h"

namespace {

using Pair = StereoPair;

/// Added on the input side of both chains so that their states never decay
/// into denormal values in silence; 2^-32 is far below anything audible.
constexpr double kAntiDenormal = 1.0 / 4294967296.0;

double Coefficient(double cornerHz, int sampleRate)
{
    return 2.0 * std::sin(std::numbers::pi * cornerHz / sampleRate);
}

// Lane by lane, in vector instructions.
Pair Magnitude(Pair x)
{
    return x < 0.0 ? -x : x;
}

Pair Larger(Pair a, Pair b)
{
    return a > b ? a : b;
}

/// Adds the two lanes of value into sample i of a left and a right buffer.
inline void AddInto(double* left, double* right, int i, Pair value) noexcept
{
    left[i] += value[0];
    right[i] += value[1];
}

/// The filter coefficients and band gains of one step, each in both lanes.
struct Step {
    Pair lf, lk, hf, hk;
    Pair low, mid, high;
};

template <typename Bands>
inline Pair Equalise(Bands& b, const Step& c, Pair x) noexcept
{
    // Each stage is y += f (u - y), written as y = (1 - f) y + f u so that
    // the sample-to-sample dependency is one multiply and one add.
    b.l0 = c.lk * b.l0 + (c.lf * x + kAntiDenormal);
    b.l1 = c.lk * b.l1 + c.lf * b.l0;
    b.l2 = c.lk * b.l2 + c.lf * b.l1;
    b.l3 = c.lk * b.l3 + c.lf * b.l2;
    const Pair low = b.l3;

    b.h0 = c.hk * b.h0 + (c.hf * x + kAntiDenormal);
    b.h1 = c.hk * b.h1 + c.hf * b.h0;
    b.h2 = c.hk * b.h2 + c.hf * b.h1;
    b.h3 = c.hk * b.h3 + c.hf * b.h2;
    const Pair high = b.s3 - b.h3;
    const Pair mid = b.s3 - (high + low);

    b.s3 = b.s2;
    b.s2 = b.s1;
    b.s1 = x;
    return low * c.low + mid * c.mid + high * c.high;
}

} // namespace

CMixerStrip::CMixerStrip(int sampleRate)
{
    SetSampleRate(sampleRate);
}

void CMixerStrip::SetSampleRate(int sampleRate)
{
    if (sampleRate <= 0)
        return;
    lf = Coefficient(kLowCornerHz, sampleRate);
    hf = Coefficient(kHighCornerHz, sampleRate);
    lk = 1.0 - lf;
    hk = 1.0 - hf;
}

void CMixerStrip::SetBandTargets(double low, double mid, double high)
{
    lowTarget = low;
    midTarget = mid;
    highTarget = high;
}

bool CMixerStrip::IsSettled(const Targets& targets) const noexcept
{
    return levelGain[0] == targets.level[0] && levelGain[1] == targets.level[1] &&
           sendGain[0] == targets.send[0] && sendGain[1] == targets.send[1] && lowGain == lowTarget &&
           midGain == midTarget && highGain == highTarget;
}

void CMixerStrip::Process(const Buffers& buffers, const Targets& targets, int frames, double peaks[2]) noexcept
{
    // Most blocks run with every gain at rest; they skip the glides.
    if (IsSettled(targets))
        ProcessSettled(buffers, frames, peaks);
    else
        ProcessGliding(buffers, targets, frames, peaks);
}

void CMixerStrip::ProcessGliding(const Buffers& buffers, const Targets& targets, int frames,
                                 double peaks[2]) noexcept
{
    Bands b = bands;
    Step step{BothLanes(lf), BothLanes(lk), BothLanes(hf), BothLanes(hk), {}, {}, {}};
    Pair peak{};
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c)
            levelGain[c] = GlideToward(levelGain[c], targets.level[c]);
        for (int s = 0; s < kSendCount; ++s)
            sendGain[s] = GlideToward(sendGain[s], targets.send[s]);
        lowGain = GlideToward(lowGain, lowTarget);
        midGain = GlideToward(midGain, midTarget);
        highGain = GlideToward(highGain, highTarget);
        step.low = BothLanes(lowGain);
        step.mid = BothLanes(midGain);
        step.high = BothLanes(highGain);
        const Pair e = Equalise(b, step, Pair{buffers.inLeft[i], buffers.inRight[i]});
        for (int s = 0; s < kSendCount; ++s) {
            if (buffers.sendLeft[s] != nullptr)
                AddInto(buffers.sendLeft[s], buffers.sendRight[s], i, e * BothLanes(sendGain[s]));
        }
        const Pair level = e * Pair{levelGain[0], levelGain[1]};
        AddInto(buffers.outLeft, buffers.outRight, i, level);
        peak = Larger(peak, Magnitude(level));
    }
    bands = b;
    peaks[0] = peak[0];
    peaks[1] = peak[1];
}

void CMixerStrip::ProcessSettled(const Buffers& buffers, int frames, double peaks[2]) noexcept
{
    Bands b = bands;
    const Step step{BothLanes(lf),      BothLanes(lk),      BothLanes(hf),       BothLanes(hk),
                    BothLanes(lowGain), BothLanes(midGain), BothLanes(highGain)};
    const Pair level{levelGain[0], levelGain[1]};
    const Pair send0 = BothLanes(sendGain[0]);
    const Pair send1 = BothLanes(sendGain[1]);
    const Buffers io = buffers;
    Pair peak{};
    for (int i = 0; i < frames; ++i) {
        const Pair e = Equalise(b, step, Pair{io.inLeft[i], io.inRight[i]});
        if (io.sendLeft[0] != nullptr)
            AddInto(io.sendLeft[0], io.sendRight[0], i, e * send0);
        if (io.sendLeft[1] != nullptr)
            AddInto(io.sendLeft[1], io.sendRight[1], i, e * send1);
        const Pair out = e * level;
        AddInto(io.outLeft, io.outRight, i, out);
        peak = Larger(peak, Magnitude(out));
    }
    bands = b;
    peaks[0] = peak[0];
    peaks[1] = peak[1];
}
