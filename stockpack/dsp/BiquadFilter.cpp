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
    memory.Forget();
    sampleRate = rate > 0 ? rate : 44100;
    coefficientsValid = false;
}

void CBiquadFilter::SetMode(FilterMode newMode)
{
    memory.Forget();
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
    memory.Forget();
    outputGain = gainLinear;
    coefficientsValid = false;
}

void CBiquadFilter::Reset() noexcept
{
    first = Section{};
    second = Section{};
}

void CBiquadFilter::RememberCoefficients(int count)
{
    memory.Resize(count);
}

bool CBiquadFilter::RecallCoefficients(double octaves, double r) noexcept
{
    const KeptCoefficients* found = memory.Find({octaves, r}, octaves);
    if (found == nullptr)
        return false;
    // Coefficients are a function of the frequency and resonance alone (for
    // this mode, rate and output gain), so these are what computing them
    // again would give.
    a0 = found->a0;
    a1 = found->a1;
    a2 = found->a2;
    b1 = found->b1;
    b2 = found->b2;
    gain = found->gain;
    lastOctaves = octaves;
    lastHz = found->hz;
    lastResonance = r;
    coefficientsValid = true;
    return true;
}

void CBiquadFilter::ComputeCoefficients(double octaves, double r) noexcept
{
    if (memory.Empty()) {
        ComputeFreshCoefficients(octaves, r);
        return;
    }
    if (RecallCoefficients(octaves, r))
        return;
    ComputeFreshCoefficients(octaves, r);
    memory.Keep({{octaves, r}, a0, a1, a2, b1, b2, gain, lastHz}, octaves);
}

void CBiquadFilter::ComputeFreshCoefficients(double octaves, double r) noexcept
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

namespace {

/// One section's coefficients, copied into locals so that the loops below
/// keep them in registers.
struct Coefficients {
    double c0, c1, c2, d1, d2, g;
};

/// One section's history, also in locals: the output may alias the input,
/// and the compiler would otherwise reload members every sample.
struct History {
    double x1, x2, y1, y2;

    /// The direct form I step; the caller scales the result by the gain.
    inline double Tick(const Coefficients& c, double x) noexcept
    {
        const double y = c.c0 * x + c.c1 * x1 + c.c2 * x2 - c.d1 * y1 - c.d2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

} // namespace

void CBiquadFilter::Run(Section& section, const double* in, double* out, int frames) const noexcept
{
    const Coefficients c{a0, a1, a2, b1, b2, gain};
    History h{section.x1, section.x2, section.y1, section.y2};
    for (int i = 0; i < frames; ++i)
        out[i] = h.Tick(c, in[i]) * c.g;
    section = Section{h.x1, h.x2, h.y1, h.y2};
}

void CBiquadFilter::RunFourPole(const double* in, double* out, int frames) noexcept
{
    const Coefficients c{a0, a1, a2, b1, b2, gain};
    History h1{first.x1, first.x2, first.y1, first.y2};
    History h2{second.x1, second.x2, second.y1, second.y2};
    for (int i = 0; i < frames; ++i)
        out[i] = h2.Tick(c, h1.Tick(c, in[i]) * c.g) * c.g;
    first = Section{h1.x1, h1.x2, h1.y1, h1.y2};
    second = Section{h2.x1, h2.x2, h2.y1, h2.y2};
}

void CBiquadFilter::ProcessPair(CBiquadFilter& a, const double* inA, double* outA, CBiquadFilter& b,
                                const double* inB, double* outB, int frames, const double* cutoffModulationA,
                                const double* cutoffModulationB) noexcept
{
    if (frames <= 0)
        return;
    if (a.fourPole || b.fourPole) {
        a.Process(inA, outA, frames, cutoffModulationA);
        b.Process(inB, outB, frames, cutoffModulationB);
        return;
    }
    // Each filter's coefficients change where Process would change them:
    // once for a fixed one, every kModulationInterval samples for a
    // modulated one, from the same sums.
    if (cutoffModulationA == nullptr)
        a.UpdateCoefficients(a.cutoffOctaves, a.resonance);
    if (cutoffModulationB == nullptr)
        b.UpdateCoefficients(b.cutoffOctaves, b.resonance);
    Coefficients ca{a.a0, a.a1, a.a2, a.b1, a.b2, a.gain};
    Coefficients cb{b.a0, b.a1, b.a2, b.b1, b.b2, b.gain};
    History ha{a.first.x1, a.first.x2, a.first.y1, a.first.y2};
    History hb{b.first.x1, b.first.x2, b.first.y1, b.first.y2};
    const int piece = cutoffModulationA != nullptr || cutoffModulationB != nullptr ? kModulationInterval : frames;
    for (int start = 0; start < frames; start += piece) {
        if (cutoffModulationA != nullptr) {
            a.UpdateCoefficients(a.cutoffOctaves + cutoffModulationA[start], a.resonance + 0.0);
            ca = Coefficients{a.a0, a.a1, a.a2, a.b1, a.b2, a.gain};
        }
        if (cutoffModulationB != nullptr) {
            b.UpdateCoefficients(b.cutoffOctaves + cutoffModulationB[start], b.resonance + 0.0);
            cb = Coefficients{b.a0, b.a1, b.a2, b.b1, b.b2, b.gain};
        }
        const int end = std::min(frames, start + piece);
        for (int i = start; i < end; ++i) {
            outA[i] = ha.Tick(ca, inA[i]) * ca.g;
            outB[i] = hb.Tick(cb, inB[i]) * cb.g;
        }
    }
    a.first = Section{ha.x1, ha.x2, ha.y1, ha.y2};
    b.first = Section{hb.x1, hb.x2, hb.y1, hb.y2};
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
    History h1{first.x1, first.x2, first.y1, first.y2};
    History h2{second.x1, second.x2, second.y1, second.y2};
    const bool twoSections = fourPole;
    for (int start = 0; start < frames; start += kModulationInterval) {
        const double octaves = cutoffOctaves + (cutoffModulation != nullptr ? cutoffModulation[start] : 0.0);
        const double r = resonance + (resonanceModulation != nullptr ? resonanceModulation[start] : 0.0);
        UpdateCoefficients(octaves, r);
        const Coefficients c{a0, a1, a2, b1, b2, gain};
        const int end = std::min(frames, start + kModulationInterval);
        for (int i = start; i < end; ++i) {
            double o = h1.Tick(c, in[i]) * c.g;
            if (twoSections)
                o = h2.Tick(c, o) * c.g;
            out[i] = o;
        }
    }
    first = Section{h1.x1, h1.x2, h1.y1, h1.y2};
    if (twoSections)
        second = Section{h2.x1, h2.x2, h2.y1, h2.y2};
}
