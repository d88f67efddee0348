#include "stockpack/MixerChannel.h"

#include <cmath>
#include <numbers>

#include "stockpack/dsp/Glide.h"

namespace {

/// Added on the input side of both chains so that their states never decay
/// into denormal values in silence; 2^-32 is far below anything audible.
constexpr double kAntiDenormal = 1.0 / 4294967296.0;

double Coefficient(double cornerHz, int sampleRate)
{
    return 2.0 * std::sin(std::numbers::pi * cornerHz / sampleRate);
}

} // namespace

CMixerChannel::CMixerChannel(int sampleRate)
{
    SetSampleRate(sampleRate);
}

void CMixerChannel::SetSampleRate(int sampleRate)
{
    if (sampleRate <= 0)
        return;
    lf = Coefficient(kLowCornerHz, sampleRate);
    hf = Coefficient(kHighCornerHz, sampleRate);
}

void CMixerChannel::SetBandTargets(double low, double mid, double high)
{
    lowTarget = low;
    midTarget = mid;
    highTarget = high;
}

double CMixerChannel::Equalise(double x) noexcept
{
    l0 += lf * (x - l0) + kAntiDenormal;
    l1 += lf * (l0 - l1);
    l2 += lf * (l1 - l2);
    l3 += lf * (l2 - l3);
    const double low = l3;

    h0 += hf * (x - h0) + kAntiDenormal;
    h1 += hf * (h0 - h1);
    h2 += hf * (h1 - h2);
    h3 += hf * (h2 - h3);
    const double high = s3 - h3;
    const double mid = s3 - (high + low);

    lowGain = GlideToward(lowGain, lowTarget);
    midGain = GlideToward(midGain, midTarget);
    highGain = GlideToward(highGain, highTarget);
    s3 = s2;
    s2 = s1;
    s1 = x;
    return low * lowGain + mid * midGain + high * highGain;
}

double CMixerChannel::Process(const double* in, double* out, double* const sends[kSendCount],
                              const Targets& targets, int frames) noexcept
{
    double peak = 0.0;
    for (int i = 0; i < frames; ++i) {
        levelGain = GlideToward(levelGain, targets.level);
        for (int s = 0; s < kSendCount; ++s)
            sendGain[s] = GlideToward(sendGain[s], targets.send[s]);
        const double e = Equalise(in[i]);
        for (int s = 0; s < kSendCount; ++s) {
            if (sends[s] != nullptr)
                sends[s][i] += sendGain[s] * e;
        }
        const double level = e * levelGain;
        out[i] += level;
        peak = std::fmax(peak, std::fabs(level));
    }
    return peak;
}
