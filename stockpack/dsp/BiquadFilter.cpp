#include "stockpack/dsp/BiquadFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "stockpack/dsp/Pitch.h"

namespace {

constexpr double kButterworthDamping = 1.4142135;
constexpr double kLn10 = 2.302585092994046;

/// tan x for 0 <= x <= pi/4 (the cutoff never passes a quarter of the
/// rate): the [7/6] Pade approximant of its continued fraction, within
/// 2e-13 of std::tan there and several times cheaper, which counts when the
/// coefficients follow a modulation every 4 samples.
double TanUpToQuarterPi(double x) noexcept
{
    const double x2 = x * x;
    return x * (135135.0 - x2 * (17325.0 - x2 * (378.0 - x2))) / (135135.0 - x2 * (62370.0 - x2 * (3150.0 - 28.0 * x2)));
}

} // namespace

void CBiquadFilter::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
    coefficientsValid = false;
}

void CBiquadFilter::SetMode(FilterMode newMode)
{
    mode = newMode;
    coefficientsValid = false;
    Reset();
}

void CBiquadFilter::SetCutoff(double octaves)
{
    cutoffOctaves = octaves;
    coefficientsValid = false;
}

void CBiquadFilter::SetResonance(double value)
{
    resonance = value;
    coefficientsValid = false;
}

void CBiquadFilter::SetFourPole(bool value)
{
    fourPole = value;
    Reset();
}

void CBiquadFilter::SetOutputGain(double gainLinear)
{
    outputGain = gainLinear;
    coefficientsValid = false;
}

void CBiquadFilter::Reset() noexcept
{
    first = Section{};
    second = Section{};
}

void CBiquadFilter::ComputeCoefficients(double octaves, double r) noexcept
{
    lastOctaves = octaves;
    double hz = OctavesToHz(octaves);
    // NaN fails both comparisons; take the floor then so the filter stays
    // finite.
    if (!(hz >= 1.0))
        hz = 1.0;
    hz = std::min(hz, sampleRate * 0.25);
    // Modulation that lands where the coefficients already are (a steady
    // formant band, an LFO send of depth 0) costs nothing.
    if (coefficientsValid && hz == lastHz && r == lastResonance)
        return;
    lastHz = hz;
    lastResonance = r;
    coefficientsValid = true;

    // The resonance's two powers of ten change far less often than the
    // cutoff (only with a resonance input): keep them while r holds.
    if (r != dampingResonance || !dampingValid) {
        dampingResonance = r;
        dampingValid = true;
        resonanceGain = std::exp(-r / 20.0 * kLn10);
        damping = kButterworthDamping * resonanceGain * resonanceGain;
    }
    gain = resonanceGain * outputGain;
    const double t = TanUpToQuarterPi(std::numbers::pi * hz / sampleRate);
    switch (mode) {
    case FilterMode::LowPass: {
        const double c = 1.0 / t;
        a0 = 1.0 / (1.0 + damping * c + c * c);
        a1 = 2.0 * a0;
        a2 = a0;
        b1 = 2.0 * (1.0 - c * c) * a0;
        b2 = (1.0 - damping * c + c * c) * a0;
        break;
    }
    case FilterMode::HighPass: {
        const double c = t;
        a0 = 1.0 / (1.0 + damping * c + c * c);
        a1 = -2.0 * a0;
        a2 = a0;
        b1 = 2.0 * (c * c - 1.0) * a0;
        b2 = (1.0 - damping * c + c * c) * a0;
        break;
    }
    case FilterMode::BandPass:
    case FilterMode::BandStop: {
        const double c = 1.0 / t;
        const double inverseQ = damping / kButterworthDamping;
        const double norm = 1.0 / (1.0 + inverseQ * c + c * c);
        b1 = 2.0 * (1.0 - c * c) * norm;
        b2 = (1.0 - inverseQ * c + c * c) * norm;
        if (mode == FilterMode::BandPass) {
            a0 = inverseQ * c * norm;
            a1 = 0.0;
            a2 = -a0;
        } else {
            a0 = (1.0 + c * c) * norm;
            a1 = b1;
            a2 = a0;
        }
        break;
    }
    }
}

void CBiquadFilter::Run(Section& section, const double* in, double* out, int frames) const noexcept
{
    // Histories and coefficients in locals: the output may alias the input,
    // and the compiler would otherwise reload the members every sample.
    const double c0 = a0, c1 = a1, c2 = a2, d1 = b1, d2 = b2, g = gain;
    double x1 = section.x1, x2 = section.x2, y1 = section.y1, y2 = section.y2;
    for (int i = 0; i < frames; ++i) {
        const double x = in[i];
        const double y = c0 * x + c1 * x1 + c2 * x2 - d1 * y1 - d2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        out[i] = y * g;
    }
    section.x1 = x1;
    section.x2 = x2;
    section.y1 = y1;
    section.y2 = y2;
}

void CBiquadFilter::RunFourPole(const double* in, double* out, int frames) noexcept
{
    const double c0 = a0, c1 = a1, c2 = a2, d1 = b1, d2 = b2, g = gain;
    double p1 = first.x1, p2 = first.x2, q1 = first.y1, q2 = first.y2;
    double u1 = second.x1, u2 = second.x2, v1 = second.y1, v2 = second.y2;
    for (int i = 0; i < frames; ++i) {
        const double x = in[i];
        const double y = c0 * x + c1 * p1 + c2 * p2 - d1 * q1 - d2 * q2;
        p2 = p1;
        p1 = x;
        q2 = q1;
        q1 = y;
        const double o = y * g;
        const double z = c0 * o + c1 * u1 + c2 * u2 - d1 * v1 - d2 * v2;
        u2 = u1;
        u1 = o;
        v2 = v1;
        v1 = z;
        out[i] = z * g;
    }
    first = Section{p1, p2, q1, q2};
    second = Section{u1, u2, v1, v2};
}

void CBiquadFilter::ProcessPair(CBiquadFilter& a, const double* inA, double* outA, CBiquadFilter& b,
                                const double* inB, double* outB, int frames) noexcept
{
    if (frames <= 0)
        return;
    if (a.fourPole || b.fourPole) {
        a.Process(inA, outA, frames);
        b.Process(inB, outB, frames);
        return;
    }
    a.UpdateCoefficients(a.cutoffOctaves, a.resonance);
    b.UpdateCoefficients(b.cutoffOctaves, b.resonance);
    const double ac0 = a.a0, ac1 = a.a1, ac2 = a.a2, ad1 = a.b1, ad2 = a.b2, ag = a.gain;
    const double bc0 = b.a0, bc1 = b.a1, bc2 = b.a2, bd1 = b.b1, bd2 = b.b2, bg = b.gain;
    double p1 = a.first.x1, p2 = a.first.x2, q1 = a.first.y1, q2 = a.first.y2;
    double u1 = b.first.x1, u2 = b.first.x2, v1 = b.first.y1, v2 = b.first.y2;
    for (int i = 0; i < frames; ++i) {
        const double x = inA[i];
        const double y = ac0 * x + ac1 * p1 + ac2 * p2 - ad1 * q1 - ad2 * q2;
        p2 = p1;
        p1 = x;
        q2 = q1;
        q1 = y;
        outA[i] = y * ag;
        const double w = inB[i];
        const double z = bc0 * w + bc1 * u1 + bc2 * u2 - bd1 * v1 - bd2 * v2;
        u2 = u1;
        u1 = w;
        v2 = v1;
        v1 = z;
        outB[i] = z * bg;
    }
    a.first = Section{p1, p2, q1, q2};
    b.first = Section{u1, u2, v1, v2};
}

void CBiquadFilter::Process(const double* in, double* out, int frames, const double* cutoffModulation,
                            const double* resonanceModulation) noexcept
{
    if (frames <= 0)
        return;
    if (cutoffModulation == nullptr && resonanceModulation == nullptr) {
        UpdateCoefficients(cutoffOctaves, resonance);
        if (fourPole)
            RunFourPole(in, out, frames);
        else
            Run(first, in, out, frames);
        return;
    }
    // One pass with both sections' histories in locals: the coefficients
    // change every few samples, and calling Run per stretch would store and
    // reload the histories each time.
    double p1 = first.x1, p2 = first.x2, q1 = first.y1, q2 = first.y2;
    double u1 = second.x1, u2 = second.x2, v1 = second.y1, v2 = second.y2;
    const bool twoSections = fourPole;
    for (int start = 0; start < frames; start += kModulationInterval) {
        const double octaves = cutoffOctaves + (cutoffModulation != nullptr ? cutoffModulation[start] : 0.0);
        const double r = resonance + (resonanceModulation != nullptr ? resonanceModulation[start] : 0.0);
        UpdateCoefficients(octaves, r);
        const double c0 = a0, c1 = a1, c2 = a2, d1 = b1, d2 = b2, g = gain;
        const int end = std::min(frames, start + kModulationInterval);
        for (int i = start; i < end; ++i) {
            const double x = in[i];
            const double y = c0 * x + c1 * p1 + c2 * p2 - d1 * q1 - d2 * q2;
            p2 = p1;
            p1 = x;
            q2 = q1;
            q1 = y;
            double o = y * g;
            if (twoSections) {
                const double z = c0 * o + c1 * u1 + c2 * u2 - d1 * v1 - d2 * v2;
                u2 = u1;
                u1 = o;
                v2 = v1;
                v1 = z;
                o = z * g;
            }
            out[i] = o;
        }
    }
    first = Section{p1, p2, q1, q2};
    if (twoSections)
        second = Section{u1, u2, v1, v2};
}
