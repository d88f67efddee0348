// The band-limited oscillator, judged by its spectrum and its zero
// crossings: aliases far below the fundamental, the right frequency and duty
// cycle, and sync that locks the slave to the master's period.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/BandLimitedOscillator.h"
#include "tests/stockpack/StockTestSupport.h"

using namespace stock_test;

namespace {

constexpr int kRate = 44100;

const WaveTables& Tables()
{
    static const WaveTables tables;   // from this program's copy of the library's resource
    return tables;
}

double PitchFor(double hz)
{
    return std::log2(hz / 440.0) + 5.0;
}

std::vector<double> Render(CBandLimitedOscillator& oscillator, std::size_t length)
{
    std::vector<double> out(length);
    oscillator.Render(out.data(), static_cast<int>(length));
    return out;
}

CBandLimitedOscillator Make(OscillatorShape shape, double hz, double width = 0.0)
{
    CBandLimitedOscillator oscillator(Tables().Step());
    oscillator.SetSampleRate(kRate);
    oscillator.SetPulseWidth(width);
    oscillator.SetShape(shape);
    oscillator.SetPitch(PitchFor(hz));
    return oscillator;
}

/// The strongest alias of a tone at f0 that folds below limitHz, relative
/// to the fundamental, in dB. Harmonics up to the 60th are folded.
double WorstAliasDb(const std::vector<double>& out, double f0, double limitHz)
{
    const std::size_t start = 4096, length = out.size() - start;
    const double fundamental = ToneAmplitude(out, f0, kRate, start, length);
    double worst = 0.0;
    for (int k = 2; k <= 60; ++k) {
        const double harmonic = k * f0;
        if (harmonic < kRate / 2.0)
            continue;   // a true harmonic, not an alias
        double folded = std::fmod(harmonic, static_cast<double>(kRate));
        if (folded > kRate / 2.0)
            folded = kRate - folded;
        if (folded >= limitHz)
            continue;
        worst = std::max(worst, ToneAmplitude(out, folded, kRate, start, length));
    }
    return Db(worst / fundamental);
}

} // namespace

TEST(BandLimitedOscillator, SawAtThreeKilohertzKeepsAliasesBelowTenKilohertz60DecibelsDown)
{
    CBandLimitedOscillator saw = Make(OscillatorShape::Saw, 3000.0);
    const auto out = Render(saw, 4096 + 16384);
    EXPECT_LT(WorstAliasDb(out, 3000.0, 10000.0), -60.0);
    // The partials that belong there are there: a saw's k-th harmonic is
    // 1/k of the fundamental.
    const double f1 = ToneAmplitude(out, 3000.0, kRate, 4096, 16384);
    EXPECT_NEAR(f1, 2.0 / M_PI, 0.02);
    EXPECT_NEAR(ToneAmplitude(out, 6000.0, kRate, 4096, 16384) / f1, 0.5, 0.02);
    EXPECT_NEAR(ToneAmplitude(out, 9000.0, kRate, 4096, 16384) / f1, 1.0 / 3.0, 0.02);
}

TEST(BandLimitedOscillator, PulseShapesAreBandLimitedToo)
{
    for (OscillatorShape shape : {OscillatorShape::Square, OscillatorShape::TriSquare}) {
        for (double width : {0.0, -0.5}) {
            CBandLimitedOscillator pulse = Make(shape, 3000.0, width);
            const auto out = Render(pulse, 4096 + 16384);
            EXPECT_LT(WorstAliasDb(out, 3000.0, 10000.0), -60.0) << static_cast<int>(shape) << " " << width;
        }
    }
}

TEST(BandLimitedOscillator, FrequencyFollowsPitchWithinLimits)
{
    for (OscillatorShape shape : {OscillatorShape::Saw, OscillatorShape::Square, OscillatorShape::TriSquare}) {
        for (double hz : {55.0, 261.6, 1234.5}) {
            CBandLimitedOscillator oscillator = Make(shape, hz);
            const auto out = Render(oscillator, 44100);
            EXPECT_NEAR(ZeroCrossingHz(out, kRate, 1000, 43000), hz, hz * 1e-4) << static_cast<int>(shape);
        }
    }
    // Pitches beyond the limits sound at them.
    CBandLimitedOscillator high = Make(OscillatorShape::Square, 30000.0);
    EXPECT_DOUBLE_EQ(high.FrequencyHz(), kRate / 4.0);
    CBandLimitedOscillator low = Make(OscillatorShape::Square, 0.01);
    EXPECT_DOUBLE_EQ(low.FrequencyHz(), 1.0);
}

TEST(BandLimitedOscillator, PitchModulationIsAddedInOctaves)
{
    CBandLimitedOscillator oscillator = Make(OscillatorShape::Saw, 220.0);
    const std::vector<double> octaveUp(44100, 1.0);
    std::vector<double> out(44100);
    oscillator.Render(out.data(), 44100, octaveUp.data());
    EXPECT_NEAR(ZeroCrossingHz(out, kRate, 1000, 43000), 440.0, 0.05);
}

TEST(BandLimitedOscillator, PulseWidthSetsTheDutyCycle)
{
    // Width input w: high while the phase is below (w + 1) / 2.
    for (double width : {-0.5, 0.0, 0.5}) {
        CBandLimitedOscillator pulse = Make(OscillatorShape::Square, 100.0, width);
        const auto out = Render(pulse, 44100);
        long high = 0;
        for (std::size_t i = 441; i < 44100; ++i)
            high += out[i] > 0.0 ? 1 : 0;
        EXPECT_NEAR(static_cast<double>(high) / (44100 - 441), (width + 1.0) / 2.0, 0.005) << width;
    }
    // Widths at the ends give a constant level, without clicks.
    CBandLimitedOscillator full = Make(OscillatorShape::Square, 100.0, 1.0);
    const auto high = Render(full, 2000);
    for (std::size_t i = 0; i < high.size(); ++i)
        ASSERT_EQ(high[i], 1.0) << i;
    CBandLimitedOscillator none = Make(OscillatorShape::Square, 100.0, -1.0);
    const auto low = Render(none, 2000);
    for (std::size_t i = 0; i < low.size(); ++i)
        ASSERT_EQ(low[i], -1.0) << i;
}

TEST(BandLimitedOscillator, SyncLocksTheSlaveToTheMastersPeriod)
{
    CBandLimitedOscillator master = Make(OscillatorShape::Saw, 200.0);
    CBandLimitedOscillator slave = Make(OscillatorShape::Saw, 470.0);
    std::vector<double> masterOut(44100), sync(44100), slaveOut(44100);
    master.Render(masterOut.data(), 44100, nullptr, nullptr, nullptr, sync.data());

    // The sync signal marks each wrap of the master: 200 per second.
    long wraps = 0;
    for (double s : sync) {
        ASSERT_TRUE(s == 0.0 || s == 1.0);
        wraps += s == 0.0 ? 1 : 0;
    }
    EXPECT_NEAR(static_cast<double>(wraps), 200.0, 1.0);

    slave.Render(slaveOut.data(), 44100, nullptr, nullptr, sync.data());
    // Period of the slave's waveform = the master's: its spectrum has
    // energy at 200 Hz and its multiples, none at its own 470 Hz.
    const double at200 = ToneAmplitude(slaveOut, 200.0, kRate, 4096, 32768);
    const double at470 = ToneAmplitude(slaveOut, 470.0, kRate, 4096, 32768);
    EXPECT_GT(at200, 0.1);
    EXPECT_LT(Db(at470 / at200), -40.0);
    // And it restarts with the master: one sample after each master wrap it
    // sits near the bottom of its ramp.
    for (std::size_t i = 4096; i + 8 < sync.size(); ++i) {
        if (sync[i] == 0.0) {
            EXPECT_LT(slaveOut[i + 10], -0.6) << i;
        }
    }
}

TEST(BandLimitedOscillator, ShapeChangeRestartsThePhase)
{
    CBandLimitedOscillator a = Make(OscillatorShape::Saw, 440.0);
    Render(a, 777);
    a.SetShape(OscillatorShape::Square);
    CBandLimitedOscillator b = Make(OscillatorShape::Square, 440.0);
    const auto afterChange = Render(a, 500);
    const auto fresh = Render(b, 500);
    for (std::size_t i = 0; i < 500; ++i)
        ASSERT_EQ(afterChange[i], fresh[i]) << i;
}

TEST(BandLimitedOscillator, ShapeCodesSplitTheParameterInThirds)
{
    EXPECT_EQ(CBandLimitedOscillator::ShapeFromParameter(0.0), OscillatorShape::Saw);
    EXPECT_EQ(CBandLimitedOscillator::ShapeFromParameter(0.333), OscillatorShape::Saw);
    EXPECT_EQ(CBandLimitedOscillator::ShapeFromParameter(1.0 / 3.0), OscillatorShape::Square);
    EXPECT_EQ(CBandLimitedOscillator::ShapeFromParameter(0.4), OscillatorShape::Square);
    EXPECT_EQ(CBandLimitedOscillator::ShapeFromParameter(2.0 / 3.0), OscillatorShape::TriSquare);
    EXPECT_EQ(CBandLimitedOscillator::ShapeFromParameter(1.0), OscillatorShape::TriSquare);
}
