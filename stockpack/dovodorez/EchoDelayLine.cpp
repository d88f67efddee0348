#include "stockpack/dovodorez/EchoDelayLine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/Glide.h"

namespace {

constexpr double kLineSeconds = 1.0;
/// The square root of two at the precision the filter designs were tuned
/// with.
constexpr double kSqrt2 = 1.4142135;
constexpr double kLowestCutoffHz = 1.0;

} // namespace

CEchoDelayLine::CEchoDelayLine(int sampleRate)
{
    SetSampleRate(sampleRate);
    SetFrequency(0.0);
    SetBandwidth(bandwidthHz);
}

void CEchoDelayLine::SetSampleRate(int rate)
{
    if (rate <= 0 || rate == sampleRate)
        return;
    sampleRate = rate;
    // A rate too low for one sample still gets a one-sample line.
    const int length = std::max(1, static_cast<int>(rate * kLineSeconds));
    if (length != Length()) {
        buffer.assign(static_cast<std::size_t>(length), 0.0);
        writeIndex = 0;
    }
    UpdateTargetOffset();
    SetBandwidth(bandwidthHz);
}

void CEchoDelayLine::SetDelay(double seconds)
{
    delaySeconds = std::clamp(seconds, 0.0, 1.0);
    UpdateTargetOffset();
}

void CEchoDelayLine::UpdateTargetOffset() noexcept
{
    targetOffset = (1.0 - delaySeconds) * (Length() - 1);
}

void CEchoDelayLine::SetFilterMode(FilterMode newMode)
{
    mode = newMode;
    UpdateCoefficients(0.0);
}

void CEchoDelayLine::SetFrequency(double octaves)
{
    const float single = static_cast<float>(octaves);
    baseFrequencyHz = 12.0 * 440.0 * std::exp2(static_cast<double>(single) - 5.0);
    UpdateCoefficients(0.0);
}

void CEchoDelayLine::SetBandwidth(double hz)
{
    bandwidthHz = hz;
    const float c = 1.0f / std::tan(static_cast<float>(std::numbers::pi * hz / sampleRate));
    bandPassC = c;
    UpdateCoefficients(0.0);
}

void CEchoDelayLine::UpdateCoefficients(double modulation) noexcept
{
    appliedModulation = modulation;
    const double fs = sampleRate;
    const double f = std::clamp(modulation * baseFrequencyHz, kLowestCutoffHz, fs / 4.0);
    Coefficients& k = coefficients;
    switch (mode) {
    case FilterMode::LowPass: {
        const double c = 1.0 / std::tan(std::numbers::pi * f / fs);
        k.a0 = 1.0 / (1.0 + kSqrt2 * c + c * c);
        k.a1 = 2.0 * k.a0;
        k.a2 = k.a0;
        k.b1 = 2.0 * (1.0 - c * c) * k.a0;
        k.b2 = (1.0 - kSqrt2 * c + c * c) * k.a0;
        break;
    }
    case FilterMode::HighPass: {
        const double c = std::tan(std::numbers::pi * f / fs);
        k.a0 = 1.0 / (1.0 + kSqrt2 * c + c * c);
        k.a1 = -2.0 * k.a0;
        k.a2 = k.a0;
        k.b1 = 2.0 * (c * c - 1.0) * k.a0;
        k.b2 = (1.0 - kSqrt2 * c + c * c) * k.a0;
        break;
    }
    case FilterMode::BandPass: {
        const double c = bandPassC;
        const double d = 2.0 * std::cos(2.0 * std::numbers::pi * f / fs);
        k.a0 = 1.0 / (1.0 + c);
        k.a1 = 0.0;
        k.a2 = -k.a0;
        k.b1 = -c * d * k.a0;
        k.b2 = (c - 1.0) * k.a0;
        break;
    }
    case FilterMode::None:
        break;
    }
}

bool CEchoDelayLine::SharesFilterWith(const CEchoDelayLine& other) const noexcept
{
    // Everything UpdateCoefficients reads, and where it last left off.
    return mode == other.mode && sampleRate == other.sampleRate && baseFrequencyHz == other.baseFrequencyHz &&
           bandPassC == other.bandPassC && appliedModulation == other.appliedModulation &&
           coefficients == other.coefficients;
}

inline double CEchoDelayLine::Step(double in, int length) noexcept
{
    const double lengthD = length;
    smoothedOffset = GlideToward(smoothedOffset, targetOffset);

    double q = smoothedOffset + writeIndex;
    if (q >= lengthD)
        q -= lengthD;
    if (q >= lengthD)   // only after the line got shorter
        q = std::fmod(q, lengthD);
    const int i0 = static_cast<int>(q);
    const int i1 = i0 + 1 < length ? i0 + 1 : 0;
    const double frac = q - i0;
    const double delayed =
        frac * buffer[static_cast<std::size_t>(i1)] + (1.0 - frac) * buffer[static_cast<std::size_t>(i0)];

    const double s = delayed * feedback + in;
    double y = s;
    if (mode != FilterMode::None) {
        const Coefficients& k = coefficients;
        y = k.a0 * s + k.a1 * s1 + k.a2 * s2 - k.b1 * y1 - k.b2 * y2;
        s2 = s1;
        s1 = s;
        y2 = y1;
        y1 = y;
    }
    buffer[static_cast<std::size_t>(writeIndex)] = y;
    if (++writeIndex >= length)
        writeIndex = 0;
    return y;
}

void CEchoDelayLine::Process(const double* in, double* out, const double* modulation, int frames) noexcept
{
    const int length = Length();
    for (int i = 0; i < frames; ++i) {
        // With the LFO still (its amount at 0) the modulation stays put,
        // and so do the coefficients; the tangent is the costly part.
        if (modulation != nullptr && modulation[i] != appliedModulation)
            UpdateCoefficients(modulation[i]);
        out[i] = Step(in[i], length);
    }
}

void CEchoDelayLine::ProcessPair(CEchoDelayLine& first, CEchoDelayLine& second, const double* firstIn,
                                 const double* secondIn, double* firstOut, double* secondOut,
                                 const double* modulation, int frames) noexcept
{
    if (modulation == nullptr || !first.SharesFilterWith(second)) {
        first.Process(firstIn, firstOut, modulation, frames);
        second.Process(secondIn, secondOut, modulation, frames);
        return;
    }
    const int firstLength = first.Length();
    const int secondLength = second.Length();
    for (int i = 0; i < frames; ++i) {
        if (modulation[i] != first.appliedModulation) {
            first.UpdateCoefficients(modulation[i]);
            second.coefficients = first.coefficients;
            second.appliedModulation = first.appliedModulation;
        }
        firstOut[i] = first.Step(firstIn[i], firstLength);
        secondOut[i] = second.Step(secondIn[i], secondLength);
    }
}
