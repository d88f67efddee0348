// What VUziD8's sounds sound like, measured one at a time: each is
// audible, stays in range, ends in bounded time in exact silence, and has
// its energy in its instrument's band. Retriggers continue without a drop
// to silence; the cymbals' paths carry all three oscillators.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/Random.h"
#include "stockpack/drumkit/DrumKit.h"
#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/drumkit/DrumKitVoice.h"
#include "tests/stockpack/DrumTestRig.h"

using namespace drumkit;
using namespace stock_test;

namespace {

constexpr int kRate = 44100;

struct SoundCase {
    int sound;
    double ringSeconds;   // the longest the default hit may take to end
    double lowestCentroidHz, highestCentroidHz;
};

// The bands are those of the instruments: a kick's energy sits under
// 200 Hz, toms in the low hundreds, a snare's body and rattle between a few
// hundred hertz and a few kilohertz, claps round 1-2 kHz, hats above 5 kHz,
// cymbals above 2 kHz. The ring times are the defaults' envelope times
// (attack, hold and decay) with a block to spare.
constexpr SoundCase kSounds[] = {
    {kBassDrum, 0.57, 30.0, 200.0},       {kSnareDrum, 0.25, 300.0, 6000.0},
    {kLowTom, 0.32, 50.0, 400.0},         {kMidTom, 0.32, 50.0, 450.0},
    {kHighTom, 0.32, 50.0, 500.0},        {kRimShot, 0.07, 200.0, 3000.0},
    {kClap, 0.17, 700.0, 4000.0},         {kClosedHiHat, 0.35, 5000.0, 12000.0},
    {kOpenHiHat, 0.41, 5000.0, 12000.0},  {kCrashCymbal, 0.91, 2000.0, 12000.0},
    {kRideCymbal, 0.46, 2000.0, 12000.0},
};

CDrumRig MakeKitRig()
{
    return CDrumRig([](CHost* host) { return new CDrumKit(host); });
}

const CDrumKit& Kit(CDrumRig& rig)
{
    return static_cast<const CDrumKit&>(rig.Machine());
}

} // namespace

TEST(DrumKitSound, EachSoundRingsInItsBandAndEndsInSilence)
{
    double tomCentroids[3] = {};
    for (const SoundCase& c : kSounds) {
        CDrumRig rig = MakeKitRig();
        platform::SeedRandom(11);
        rig.TriggerOn(c.sound);
        rig.RenderSamples(static_cast<int>(1.5 * kRate));
        const std::vector<double>& x = rig.left;
        const double peak = Peak(x, 0, x.size());
        EXPECT_GT(peak, 0.05) << c.sound;
        EXPECT_LT(peak, 2.0) << c.sound;

        // Ends: silent, and nothing but zeros from its ring time on.
        EXPECT_TRUE(Kit(rig).Voice(c.sound).IsSilent()) << c.sound;
        const auto end = static_cast<std::size_t>(c.ringSeconds * kRate) + 256;
        EXPECT_EQ(Peak(x, end, x.size() - end), 0.0) << c.sound;

        const double centroid = SpectralCentroidHz(x, kRate, 0, 8192);
        EXPECT_GT(centroid, c.lowestCentroidHz) << c.sound;
        EXPECT_LT(centroid, c.highestCentroidHz) << c.sound;
        if (c.sound >= kLowTom && c.sound <= kHighTom)
            tomCentroids[c.sound - kLowTom] = centroid;
    }
    EXPECT_LT(tomCentroids[0], tomCentroids[1]);
    EXPECT_LT(tomCentroids[1], tomCentroids[2]);
}

TEST(DrumKitSound, TuneRaisesTheBassDrumAndSnare)
{
    auto centroid = [](int sound, int parameter, double value) {
        CDrumRig rig = MakeKitRig();
        rig.Set(parameter, value);
        platform::SeedRandom(5);
        rig.TriggerOn(sound);
        rig.RenderSamples(8192);
        return SpectralCentroidHz(rig.left, kRate, 0, 8192);
    };
    EXPECT_LT(centroid(kBassDrum, kBdTune, 0.0), centroid(kBassDrum, kBdTune, 1.0));
    // The snare's tones alone (no snares) follow f1 = 80v + 140 Hz.
    auto tone = [](double tune) {
        CDrumRig rig = MakeKitRig();
        rig.Set(kSdSnappy, 0.0);
        rig.Set(kSdTune, tune);
        platform::SeedRandom(5);
        rig.TriggerOn(kSnareDrum);
        rig.RenderSamples(8192);
        // After the 0.12-octave drop has settled (its envelope lasts
        // 0.03 s), the first tone sits 0.12 octave below f1.
        const double f1 = (80.0 * tune + 140.0) * std::exp2(-0.12);
        return ToneAmplitude(rig.left, f1, kRate, 2048, 4096) / ToneAmplitude(rig.left, f1 * 1.5, kRate, 2048, 4096);
    };
    EXPECT_GT(tone(0.0), 10.0);
    EXPECT_GT(tone(1.0), 10.0);
    EXPECT_LT(centroid(kSnareDrum, kSdTune, 0.0), centroid(kSnareDrum, kSdTune, 1.0));
}

TEST(DrumKitSound, RetriggerContinuesFromTheCurrentLevel)
{
    for (int sound : {kBassDrum, kSnareDrum, kLowTom, kOpenHiHat, kCrashCymbal}) {
        CDrumRig rig = MakeKitRig();
        platform::SeedRandom(9);
        rig.TriggerOn(sound);
        rig.Render(16);
        const std::size_t at = rig.left.size();
        rig.TriggerOn(sound);
        rig.Render(4);
        // The envelopes climb back from their levels: the sound never falls
        // away before the new hit.
        const double before = Rms(rig.left, at - 512, 512);
        const double after = Rms(rig.left, at, 512);
        ASSERT_GT(before, 1e-3) << sound;
        EXPECT_GT(after, 0.5 * before) << sound;
    }
}

TEST(DrumKitSound, CymbalPathsCarryAllThreeOscillators)
{
    // With the sum in both paths the crash is a dense cluster; one square
    // alone would leave most of the spectrum between its odd harmonics
    // empty. Count how much of 2-8 kHz, in 100 Hz bands, holds energy
    // within 30 dB of the strongest band.
    CDrumRig rig = MakeKitRig();
    rig.TriggerOn(kCrashCymbal);
    rig.RenderSamples(8192);
    std::vector<double> bands;
    double strongest = 0.0;
    for (double hz = 2000.0; hz < 8000.0; hz += 100.0) {
        double band = 0.0;
        for (double f = hz; f < hz + 100.0; f += 20.0)
            band = std::max(band, ToneAmplitude(rig.left, f, kRate, 0, 8192));
        bands.push_back(band);
        strongest = std::max(strongest, band);
    }
    int filled = 0;
    for (double band : bands)
        filled += band > strongest * 0.0316 ? 1 : 0;
    EXPECT_GT(filled, static_cast<int>(bands.size()) / 2);
}

TEST(DrumKitSound, AllElevenAtOnceStayFinite)
{
    CDrumRig rig = MakeKitRig();
    for (int k = 0; k < kSoundCount; ++k)
        rig.TriggerOn(k, 3 * k);
    rig.RenderSamples(kRate / 2);
    for (std::size_t i = 0; i < rig.left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(rig.left[i]));
        ASSERT_TRUE(std::isfinite(rig.right[i]));
    }
    EXPECT_LT(Peak(rig.left, 0, rig.left.size()), 6.0);
}
