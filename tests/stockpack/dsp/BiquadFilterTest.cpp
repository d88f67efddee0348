// The biquad filter unit, measured by driving it with sines and reading the
// steady-state level at its output.

#include <gtest/gtest.h>

#include <cmath>

#include "stockpack/dsp/BiquadFilter.h"
#include "tests/stockpack/StockTestSupport.h"

using namespace stock_test;

namespace {

constexpr int kRate = 44100;

/// Octaves for a cutoff frequency: f = 440 * 2^(octaves - 5).
double OctavesFor(double hz)
{
    return std::log2(hz / 440.0) + 5.0;
}

/// Gain in dB of the filter for a sine at hz, after the transient.
double GainDb(CBiquadFilter& filter, double hz)
{
    filter.Reset();
    const std::size_t length = 16384;
    const auto in = Sine(hz, kRate, length);
    std::vector<double> out(length);
    filter.Process(in.data(), out.data(), static_cast<int>(length));
    const std::size_t settle = 8192;
    return Db(ToneAmplitude(out, hz, kRate, settle, length - settle));
}

CBiquadFilter MakeFilter(FilterMode mode, double cutoffHz, double resonance = 0.0)
{
    CBiquadFilter filter;
    filter.SetSampleRate(kRate);
    filter.SetMode(mode);
    filter.SetCutoff(OctavesFor(cutoffHz));
    filter.SetResonance(resonance);
    return filter;
}

} // namespace

TEST(BiquadFilter, LowPassAtResonanceZeroIsThreeDecibelsDownAtCutoff)
{
    for (double cutoff : {100.0, 1000.0, 5000.0, 10000.0}) {
        CBiquadFilter filter = MakeFilter(FilterMode::LowPass, cutoff);
        EXPECT_NEAR(GainDb(filter, cutoff), -3.01, 0.5) << cutoff;
        // Flat below, 12 dB per octave above (the bilinear transform adds
        // attenuation near Nyquist, so only from above is checked there).
        EXPECT_NEAR(GainDb(filter, cutoff / 8.0), 0.0, 0.1) << cutoff;
        if (cutoff < 1000.0) {
            EXPECT_NEAR(GainDb(filter, cutoff * 8.0), -36.1, 1.0) << cutoff;
        }
    }
}

TEST(BiquadFilter, HighPassMirrorsTheLowPass)
{
    for (double cutoff : {200.0, 2000.0}) {
        CBiquadFilter filter = MakeFilter(FilterMode::HighPass, cutoff);
        EXPECT_NEAR(GainDb(filter, cutoff), -3.01, 0.5) << cutoff;
        EXPECT_NEAR(GainDb(filter, cutoff * 8.0), 0.0, 0.2) << cutoff;
        EXPECT_NEAR(GainDb(filter, cutoff / 8.0), -36.1, 1.0) << cutoff;
    }
}

TEST(BiquadFilter, BandPassBandwidthEqualsCentreAtResonanceZero)
{
    const double centre = 1000.0;
    CBiquadFilter filter = MakeFilter(FilterMode::BandPass, centre);
    EXPECT_NEAR(GainDb(filter, centre), 0.0, 0.1);
    // Q = 1: the -3 dB points are f0 (sqrt(5) -+ 1) / 2 apart by f0.
    const double lower = centre * (std::sqrt(5.0) - 1.0) / 2.0;
    const double upper = centre * (std::sqrt(5.0) + 1.0) / 2.0;
    EXPECT_NEAR(GainDb(filter, lower), -3.01, 0.3);
    EXPECT_NEAR(GainDb(filter, upper), -3.01, 0.3);

    CBiquadFilter stop = MakeFilter(FilterMode::BandStop, centre);
    EXPECT_LT(GainDb(stop, centre), -60.0);
    EXPECT_NEAR(GainDb(stop, centre / 16.0), 0.0, 0.1);
}

TEST(BiquadFilter, ResonanceRaisesThePeakAndScalesTheOutput)
{
    // r = 1: damping sqrt(2) * 10^-0.1, output gain 10^-0.05. The analog
    // prototype's gain at the cutoff is 1 / d.
    const double cutoff = 1000.0;
    CBiquadFilter filter = MakeFilter(FilterMode::LowPass, cutoff, 1.0);
    const double damping = 1.4142135 * std::pow(10.0, -0.1);
    EXPECT_NEAR(GainDb(filter, cutoff), Db(1.0 / damping) - 1.0, 0.3);
    EXPECT_NEAR(GainDb(filter, cutoff / 16.0), -1.0, 0.05);
}

TEST(BiquadFilter, CutoffIsLimitedToAQuarterOfTheRateAndOneHertz)
{
    CBiquadFilter filter = MakeFilter(FilterMode::LowPass, 1000.0);
    filter.SetCutoff(20.0);   // 440 * 2^15 Hz
    std::vector<double> x(8, 0.0), y(8);
    filter.Process(x.data(), y.data(), 8);
    EXPECT_EQ(filter.EffectiveCutoffHz(), kRate / 4.0);
    EXPECT_NEAR(GainDb(filter, kRate / 4.0), -3.01, 0.5);

    filter.SetCutoff(-20.0);
    filter.Process(x.data(), y.data(), 8);
    EXPECT_EQ(filter.EffectiveCutoffHz(), 1.0);
    filter.SetCutoff(std::nan(""));
    filter.Process(x.data(), y.data(), 8);
    EXPECT_EQ(filter.EffectiveCutoffHz(), 1.0);
}

TEST(BiquadFilter, FourPoleCascadeDoublesTheSlope)
{
    CBiquadFilter filter = MakeFilter(FilterMode::LowPass, 500.0);
    filter.SetFourPole(true);
    EXPECT_NEAR(GainDb(filter, 500.0), -6.02, 0.5);
    EXPECT_NEAR(GainDb(filter, 4000.0), -72.2, 2.0);
}

TEST(BiquadFilter, ModulationUpdatesCoefficientsOnTheFirstOfEveryFourSamples)
{
    // A filter whose modulation moves on samples 1-3 and 5-7 only must
    // match, sample for sample, one that is told the values of samples 0
    // and 4.
    const auto in = Sine(700.0, kRate, 8);
    const double modulation[8] = {0.0, 3.0, -2.0, 1.0, 1.5, 9.0, -9.0, 4.0};
    const double grouped[8] = {0.0, 0.0, 0.0, 0.0, 1.5, 1.5, 1.5, 1.5};
    CBiquadFilter a = MakeFilter(FilterMode::LowPass, 800.0);
    CBiquadFilter b = MakeFilter(FilterMode::LowPass, 800.0);
    double outA[8], outB[8];
    a.Process(in.data(), outA, 8, modulation, nullptr);
    b.Process(in.data(), outB, 8, grouped, nullptr);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(outA[i], outB[i]) << i;
    // And the second group really did move.
    CBiquadFilter c = MakeFilter(FilterMode::LowPass, 800.0);
    double outC[8];
    c.Process(in.data(), outC, 8);
    EXPECT_NE(outA[5], outC[5]);
}

TEST(BiquadFilter, ModeChangeClearsTheHistories)
{
    CBiquadFilter filter = MakeFilter(FilterMode::LowPass, 300.0);
    std::vector<double> ones(512, 1.0), out(512), silent(4, 0.0), tail(4);
    filter.Process(ones.data(), out.data(), 512);
    filter.Process(silent.data(), tail.data(), 4);
    EXPECT_GT(std::fabs(tail[0]), 0.5);   // still ringing from the input

    filter.Process(ones.data(), out.data(), 512);
    filter.SetMode(FilterMode::HighPass);
    filter.Process(silent.data(), tail.data(), 4);
    for (double v : tail)
        EXPECT_EQ(v, 0.0);
}

TEST(BiquadFilter, RememberedCoefficientsGiveTheSameSamplesAsComputedOnes)
{
    // A sweep played again and again, as a drum's, through a filter that
    // remembers its coefficients (a ring that holds two hits' worth, so it
    // both recalls and wraps) and one that computes them; rate, mode and
    // gain change between the hits, and the resonance moves too.
    CBiquadFilter computed = MakeFilter(FilterMode::BandPass, 1000.0, 3.0);
    CBiquadFilter remembered = MakeFilter(FilterMode::BandPass, 1000.0, 3.0);
    remembered.RememberCoefficients(512);
    const int length = 1024;
    std::vector<double> noise(length), sweep(length), resonance(length);
    for (int i = 0; i < length; ++i) {
        noise[static_cast<std::size_t>(i)] = std::sin(i * 12.9898) * 0.7;
        sweep[static_cast<std::size_t>(i)] = 2.0 * std::exp(-i / 300.0);
        resonance[static_cast<std::size_t>(i)] = i < 512 ? 0.0 : 1.5;
    }
    std::vector<double> a(length), b(length);
    for (int hit = 0; hit < 6; ++hit) {
        if (hit == 2) {
            computed.SetSampleRate(48000);
            remembered.SetSampleRate(48000);
        }
        if (hit == 3) {
            computed.SetMode(FilterMode::HighPass);
            remembered.SetMode(FilterMode::HighPass);
        }
        if (hit == 4) {
            computed.SetOutputGain(2.0);
            remembered.SetOutputGain(2.0);
        }
        computed.Process(noise.data(), a.data(), length, sweep.data(), resonance.data());
        remembered.Process(noise.data(), b.data(), length, sweep.data(), resonance.data());
        for (int i = 0; i < length; ++i)
            ASSERT_EQ(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(i)]) << "hit " << hit << " sample " << i;
    }
}
