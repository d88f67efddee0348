// The filter and the envelope render faster than their formulas read: the
// filter's coefficients follow a modulation through cheaper arithmetic, the
// envelope advances its exponential by one factor per sample. Each is held
// here against a slow path written straight from the formulas (std::tan,
// powers of ten, one std::exp per sample); the difference must stay below
// -100 dB of the signal, both in RMS and at its peak, which any audible
// change of the optimised paths would break.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/CurveShape.h"
#include "stockpack/dsp/Envelope.h"

namespace {

constexpr int kRate = 44100;
constexpr double kLimitDb = -100.0;

struct Difference {
    double rmsDb;
    double peakDb;
};

Difference Compare(const std::vector<double>& reference, const std::vector<double>& actual)
{
    double signalSquares = 0.0, differenceSquares = 0.0, signalPeak = 0.0, differencePeak = 0.0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const double d = actual[i] - reference[i];
        signalSquares += reference[i] * reference[i];
        differenceSquares += d * d;
        signalPeak = std::max(signalPeak, std::fabs(reference[i]));
        differencePeak = std::max(differencePeak, std::fabs(d));
    }
    // A difference of exactly 0 reads as -400 dB rather than minus infinity.
    const auto db = [](double ratio) { return 20.0 * std::log10(std::max(ratio, 1e-20)); };
    return {db(std::sqrt(differenceSquares / signalSquares)), db(differencePeak / signalPeak)};
}

/// A naive saw at hz, rich in harmonics for the filter to shape.
std::vector<double> Saw(double hz, int length)
{
    std::vector<double> out(static_cast<std::size_t>(length));
    double phase = 0.0;
    for (auto& v : out) {
        v = 2.0 * phase - 1.0;
        phase += hz / kRate;
        phase -= std::floor(phase);
    }
    return out;
}

/// The biquad from its formulas, its coefficients computed every sample from
/// the cutoff modulation given, cascaded when fourPole.
std::vector<double> ReferenceLowPass(const std::vector<double>& in, double cutoffOctaves, double resonance,
                                     const std::vector<double>& cutoffModulation, bool fourPole)
{
    std::vector<double> out(in.size());
    double x1[2] = {0, 0}, x2[2] = {0, 0}, y1[2] = {0, 0}, y2[2] = {0, 0};
    double a0 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0, gain = 1;
    for (std::size_t i = 0; i < in.size(); ++i) {
        {
            double hz = 440.0 * std::pow(2.0, cutoffOctaves + cutoffModulation[i] - 5.0);
            hz = std::clamp(hz, 1.0, kRate * 0.25);
            gain = std::pow(10.0, -resonance / 20.0);
            const double damping = 1.4142135 * std::pow(10.0, -resonance / 10.0);
            const double c = 1.0 / std::tan(std::numbers::pi * hz / kRate);
            a0 = 1.0 / (1.0 + damping * c + c * c);
            a1 = 2.0 * a0;
            a2 = a0;
            b1 = 2.0 * (1.0 - c * c) * a0;
            b2 = (1.0 - damping * c + c * c) * a0;
        }
        double x = in[i];
        for (int s = 0; s < (fourPole ? 2 : 1); ++s) {
            const double y = a0 * x + a1 * x1[s] + a2 * x2[s] - b1 * y1[s] - b2 * y2[s];
            x2[s] = x1[s];
            x1[s] = x;
            y2[s] = y1[s];
            y1[s] = y;
            x = y * gain;
        }
        out[i] = x;
    }
    return out;
}

} // namespace

TEST(SlowReference, ModulatedFilterMatchesItsFormulasWithin100Decibels)
{
    const int length = kRate;   // one second: six sweeps of the LFO
    const auto in = Saw(110.0, length);
    for (const bool fourPole : {false, true}) {
        for (const double resonance : {0.0, 6.0, 18.0}) {
            // A 6 Hz sweep of two octaves either side, over a slower fall of
            // three octaves, as a filter envelope and an LFO together give.
            std::vector<double> modulation(static_cast<std::size_t>(length));
            for (int i = 0; i < length; ++i)
                modulation[static_cast<std::size_t>(i)] =
                    2.0 * std::sin(2.0 * std::numbers::pi * 6.0 * i / kRate) - 3.0 * i / length;
            CBiquadFilter filter;
            filter.SetSampleRate(kRate);
            filter.SetMode(FilterMode::LowPass);
            filter.SetFourPole(fourPole);
            filter.SetCutoff(6.0);
            filter.SetResonance(resonance);
            std::vector<double> out(in.size());
            // Blocks of uneven length, as events split them.
            for (int start = 0, block = 0; start < length; ++block) {
                const int n = std::min(length - start, 64 + 37 * (block % 5));
                filter.Process(in.data() + start, out.data() + start, n, modulation.data() + start);
                start += n;
            }
            // The reference restarts its coefficient grid at each block too.
            std::vector<double> reference;
            {
                std::vector<double> grid(modulation);
                for (int start = 0, block = 0; start < length; ++block) {
                    const int n = std::min(length - start, 64 + 37 * (block % 5));
                    for (int i = start; i < start + n; ++i)
                        grid[static_cast<std::size_t>(i)] =
                            modulation[static_cast<std::size_t>(start + (i - start) / CBiquadFilter::kModulationInterval *
                                                                            CBiquadFilter::kModulationInterval)];
                    start += n;
                }
                reference = ReferenceLowPass(in, 6.0, resonance, grid, fourPole);
            }
            const Difference d = Compare(reference, out);
            EXPECT_LT(d.rmsDb, kLimitDb) << "four-pole " << fourPole << ", resonance " << resonance;
            EXPECT_LT(d.peakDb, kLimitDb) << "four-pole " << fourPole << ", resonance " << resonance;
        }
    }
}

TEST(SlowReference, CurvedEnvelopeMatchesOneExponentialPerSampleWithin100Decibels)
{
    const double attackSeconds = 0.05, decaySeconds = 0.3, sustain = 0.3, releaseSeconds = 0.4;
    for (const double curve : {-6.0, 3.0, 8.0}) {
        CEnvelope envelope;
        envelope.SetSampleRate(kRate);
        envelope.SetAttack(attackSeconds);
        envelope.SetDecay(decaySeconds);
        envelope.SetSustain(sustain);
        envelope.SetRelease(releaseSeconds);
        envelope.SetAttackCurve(curve);
        envelope.SetDecayCurve(curve);
        envelope.SetReleaseCurve(curve);
        const int held = kRate / 2, length = kRate;
        std::vector<double> out(static_cast<std::size_t>(length));
        envelope.NoteOn();
        for (int start = 0; start < held; start += 256)
            envelope.Render(out.data() + start, std::min(256, held - start));
        envelope.NoteOff();
        for (int start = held; start < length; start += 256)
            envelope.Render(out.data() + start, std::min(256, length - start));

        // The slow path: each stage's position x advances 1 / (seconds x
        // rate) per sample and the value is read through one exponential.
        const CurveShape shape = CurveShape::FromCurve(curve);
        const auto value = [&](double x) { return (1.0 - std::exp(shape.curve * x)) / shape.denominator; };
        std::vector<double> reference;
        const auto stage = [&](double seconds, double offset, double scale, int limit) {
            const double step = 1.0 / (seconds * kRate);
            double x = 0.0;
            while (x < 1.0 && static_cast<int>(reference.size()) < limit) {
                reference.push_back(offset + scale * value(x));
                x += step;
                if (x >= 1.0 - 1e-9)
                    x = 1.0;
            }
        };
        stage(attackSeconds, 0.0, 1.0, held);
        stage(decaySeconds, 1.0, sustain - 1.0, held);
        while (static_cast<int>(reference.size()) < held)
            reference.push_back(sustain);
        // The release starts from the sustain level, part way along its curve.
        const double releaseStart = shape.Position(1.0 - sustain);
        {
            const double step = 1.0 / (releaseSeconds * kRate);
            double x = releaseStart;
            while (x < 1.0 && static_cast<int>(reference.size()) < length) {
                reference.push_back(1.0 - value(x));
                x += step;
                if (x >= 1.0 - 1e-9)
                    x = 1.0;
            }
        }
        while (static_cast<int>(reference.size()) < length)
            reference.push_back(0.0);
        const Difference d = Compare(reference, out);
        EXPECT_LT(d.rmsDb, kLimitDb) << "curve " << curve;
        EXPECT_LT(d.peakDb, kLimitDb) << "curve " << curve;
    }
}
