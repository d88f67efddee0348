// What RazuZuri sounds like, measured: pitch from the semitone and detune
// settings, the routing of the two oscillators to the channels, levels at
// their ends, and portamento's slide.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/Random.h"
#include "stockpack/razuzuri/RazuZuri.h"
#include "stockpack/razuzuri/RazuZuriVoice.h"
#include "tests/stockpack/StockTestSupport.h"

using namespace razuzuri;
using namespace stock_test;

namespace {

constexpr int kRate = 44100;

/// Filters wide open without envelope, full level at once; VCO1 alone, as
/// a square (no even harmonics).
void OpenPatch(CSynthRig& rig)
{
    for (int f : {kVcf1Mode, kVcf2Mode}) {
        rig.Set(f + 1, 1.0);
        rig.Set(f + 2, 0.0);
        rig.Set(f + 4, 0.0);
    }
    rig.Set(kAmpAttack, 0.0);
    rig.Set(kAmpSustain, 1.0);
    rig.Set(kOscBalance, 0.0);
    rig.Set(kVco1Shape, 0.5);
    rig.Set(kVco2Shape, 0.5);
    rig.Set(kVco2Detune, 0.0);
}

/// Semitone parameter value for n semitones (the middle of its step).
double SemitoneValue(int n)
{
    return 0.5 + (n + (n >= 0 ? 0.5 : -0.5)) / 96.0;
}

double PlayedHz(CSynthRig& rig, int note)
{
    rig.ClearCapture();
    rig.NoteOn(note);
    rig.Render(40);
    rig.NoteOff(note);
    rig.Render(1);
    return ZeroCrossingHz(rig.left, kRate, 1000, 9000);
}

} // namespace

TEST(RazuZuriSound, SemitoneOffsetTransposesOnce)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    const double a3 = CStockTestHost::NoteHz(57);   // 220 Hz
    EXPECT_NEAR(PlayedHz(rig, 57), a3, a3 * 5e-4);
    rig.Set(kVco1Semitone, SemitoneValue(12));
    EXPECT_NEAR(PlayedHz(rig, 57), 2.0 * a3, a3 * 1e-3);
    rig.Set(kVco1Semitone, SemitoneValue(-12));
    EXPECT_NEAR(PlayedHz(rig, 57), 0.5 * a3, a3 * 5e-4);
    rig.Set(kVco1Semitone, SemitoneValue(7));
    EXPECT_NEAR(PlayedHz(rig, 57), a3 * std::exp2(7.0 / 12.0), a3 * 1e-3);

    // The plain half-way value of 12 semitones, exactly 0.625, is 12 too.
    rig.Set(kVco1Semitone, 0.625);
    EXPECT_NEAR(PlayedHz(rig, 57), 2.0 * a3, a3 * 1e-3);
}

TEST(RazuZuriSound, SecondOscillatorAddsItsDetune)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.Set(kOscBalance, 1.0);   // VCO2 alone
    rig.Set(kVco2Semitone, SemitoneValue(-5));
    rig.Set(kVco2Detune, 0.5);
    const double a3 = CStockTestHost::NoteHz(57);
    EXPECT_NEAR(PlayedHz(rig, 57), a3 * std::exp2(-4.5 / 12.0), a3 * 1e-3);
}

TEST(RazuZuriSound, SplitRoutingKeepsTheOscillatorsOnSeparateChannels)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.Set(kFilterRouting, 1.0);   // Split
    rig.Set(kOscBalance, 0.5);
    rig.Set(kVco2Semitone, SemitoneValue(12));
    rig.NoteOn(57);
    rig.Render(60);
    const double f1 = CStockTestHost::NoteHz(57), f2 = 2.0 * f1;
    const std::size_t start = 2048, length = 8192;
    const double leftOwn = ToneAmplitude(rig.left, f1, kRate, start, length);
    const double leftOther = ToneAmplitude(rig.left, f2, kRate, start, length);
    const double rightOwn = ToneAmplitude(rig.right, f2, kRate, start, length);
    const double rightOther = ToneAmplitude(rig.right, f1, kRate, start, length);
    EXPECT_GT(leftOwn, 0.1);
    EXPECT_GT(rightOwn, 0.1);
    EXPECT_LT(Db(leftOther / leftOwn), -60.0);
    EXPECT_LT(Db(rightOther / rightOwn), -60.0);
}

TEST(RazuZuriSound, SerialAndParallelRouting)
{
    CSynthRig serial(false);
    OpenPatch(serial);
    serial.Set(kOscBalance, 0.5);
    serial.Set(kVco2Semitone, SemitoneValue(12));
    serial.NoteOn(57);
    serial.Render(20);
    EXPECT_EQ(serial.left, serial.right);
    EXPECT_GT(Rms(serial.left, 1000, 4000), 0.1);

    // Parallel: the same mix through both filters, one per channel; with
    // filter 2 closed down its channel loses the upper oscillator.
    CSynthRig parallel(false);
    OpenPatch(parallel);
    parallel.Set(kFilterRouting, 0.5);
    parallel.Set(kOscBalance, 0.5);
    parallel.Set(kVco2Semitone, SemitoneValue(12));
    parallel.Set(kVcf2Mode + 1, 0.5);   // 6 octaves: 880 Hz
    parallel.NoteOn(57);
    parallel.Render(60);
    const double f2 = 2.0 * CStockTestHost::NoteHz(57);
    const double leftF2 = ToneAmplitude(parallel.left, f2, kRate, 2048, 8192);
    const double rightF2 = ToneAmplitude(parallel.right, f2, kRate, 2048, 8192);
    // Butterworth at half its cutoff: 1 / sqrt(1 + 0.5^4).
    EXPECT_NEAR(Db(rightF2 / leftF2), Db(1.0 / std::sqrt(1.0625)), 0.5);
    // The 9th harmonic of the upper square (the lower one has only odd
    // harmonics of its own, and this is its 18th): -26 dB at 4.5 cutoffs.
    const double leftHigh = ToneAmplitude(parallel.left, 9.0 * f2, kRate, 2048, 8192);
    const double rightHigh = ToneAmplitude(parallel.right, 9.0 * f2, kRate, 2048, 8192);
    EXPECT_LT(Db(rightHigh / leftHigh), -20.0);
}

TEST(RazuZuriSound, LevelsAtZeroAreExactlySilentAndAtOneUnity)
{
    struct Channels {
        std::vector<double> left, right;
        double Loudest() const { return std::max(Rms(left, 1000, 4000), Rms(right, 1000, 4000)); }
    };
    auto render = [](double volume, double noise, double ring, double routing) {
        CSynthRig rig(false);
        platform::SeedRandom(11);
        OpenPatch(rig);
        rig.Set(kOscBalance, 0.5);
        rig.Set(kFilterRouting, routing);
        rig.Set(kOscVolume, volume);
        rig.Set(kNoise, noise);
        rig.Set(kRingMod, ring);
        rig.NoteOn(60);
        rig.Render(20);
        return Channels{rig.left, rig.right};
    };
    for (double routing : {0.0, 0.5, 1.0}) {
        const Channels silent = render(0.0, 0.0, 0.0, routing);
        for (std::size_t i = 0; i < silent.left.size(); ++i) {
            ASSERT_EQ(silent.left[i], 0.0) << routing << " " << i;
            ASSERT_EQ(silent.right[i], 0.0) << routing << " " << i;
        }
        EXPECT_GT(render(0.0, 1.0, 0.0, routing).Loudest(), 0.01) << routing;   // noise alone
    }
    EXPECT_GT(render(0.0, 0.0, 1.0, 0.0).Loudest(), 0.1);   // ring modulation alone

    // Full volume is unity gain, half way is -24 "dB" = 10^-2.4 in
    // amplitude.
    const double full = Rms(render(1.0, 0.0, 0.0, 0.0).left, 1000, 4000);
    const double half = Rms(render(0.5, 0.0, 0.0, 0.0).left, 1000, 4000);
    EXPECT_NEAR(half / full, std::pow(10.0, -2.4), 1e-4);
    // Two unit squares in step, mixed half and half: a unit square again.
    EXPECT_NEAR(full, 1.0, 0.05);
}

TEST(RazuZuriSound, PortamentoSlidesBetweenNotesOverItsTime)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.Set(kPortamento, 0.5);   // 0.4 * 0.25 = 0.1 s, whatever the interval
    rig.NoteOn(57);
    rig.Render(20);
    rig.ClearCapture();
    rig.NoteOn(69);   // one octave up
    rig.Render(60);
    // The first note after creation jumped; this one slides: it starts
    // near 220 Hz and reaches 440 Hz after 4410 samples.
    EXPECT_LT(ZeroCrossingHz(rig.left, kRate, 0, 600), 240.0);
    const double middle = ZeroCrossingHz(rig.left, kRate, 2000, 400);
    EXPECT_GT(middle, 280.0);
    EXPECT_LT(middle, 340.0);
    EXPECT_NEAR(ZeroCrossingHz(rig.left, kRate, 4500, 8000), 440.0, 0.5);
}

TEST(RazuZuriSound, ReleaseFadesToExactSilence)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.Set(kAmpRelease, 0.2);   // 0.064 s = 2822 samples
    rig.NoteOn(60);
    rig.Render(10);
    rig.ClearCapture();
    rig.NoteOff(60);
    rig.Render(16);
    EXPECT_GT(Peak(rig.left, 0, 256), 0.5);
    EXPECT_LT(Peak(rig.left, 2000, 256), Peak(rig.left, 1000, 256));
    for (std::size_t i = 2830; i < rig.left.size(); ++i)
        ASSERT_EQ(rig.left[i], 0.0) << i;
    EXPECT_FALSE(rig.Synth().Voice(0).IsSounding());
}

TEST(RazuZuriSound, FormantMixShapesTheSpectrumTowardsTheVowel)
{
    // Noise through the "Soprano A" formants: more energy at its first
    // formant (800 Hz) than in the gap below it (200 Hz), unlike the plain
    // noise.
    auto spectrumRatio = [](double mix) {
        CSynthRig rig(false);
        platform::SeedRandom(5);
        OpenPatch(rig);
        rig.Set(kOscVolume, 0.0);
        rig.Set(kNoise, 1.0);
        rig.Set(kFormantVowel, 20.5 / 45.0);
        rig.Set(kFormantMix, mix);
        rig.NoteOn(60);
        rig.Render(400);
        double at800 = 0.0, at200 = 0.0;
        for (std::size_t start = 0; start + 4096 <= rig.left.size(); start += 4096) {
            at800 += ToneAmplitude(rig.left, 800.0, kRate, start, 4096);
            at200 += ToneAmplitude(rig.left, 200.0, kRate, start, 4096);
        }
        return at800 / at200;
    };
    EXPECT_NEAR(Db(spectrumRatio(0.0)), 0.0, 3.0);
    EXPECT_GT(Db(spectrumRatio(1.0)), 6.0);
}
