// The mixer measured through its ports: levels after the glides settle,
// balance, the glide's length, the equaliser's flat response, solo and
// mute, and the values and texts of its parameters.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/mixer/Mixer.h"
#include "framework/Glide.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::CStockTestHost;
using stock_test::HasPorts;
using stock_test::Sine;

namespace {

constexpr int kBlock = 256;
constexpr int kRate = 44100;
/// Far past the longest glide (5994 samples from 0 to 1).
constexpr int kSettleBlocks = 40;
/// The gain of a strip at Level 0.5: 10^((30 - 48) / 10).
const double kCreationLevelGain = std::pow(10.0, -1.8);

/// A mixer with its own host; each strip's input is a function of the
/// sample's running index, and everything the output and sends carry is
/// kept.
class CMixerRig {
public:
    using Signal = std::function<double(long sample, int channel)>;

    CMixerRig()
    {
        host.blockSize = kBlock;
        host.sampleRate = kRate;
        mixer = std::make_unique<CMixer>(&host);
    }

    void Feed(int strip, Signal signal) { inputs[strip] = std::move(signal); }
    void Set(int strip, int position, double value) { mixer->SetParameter(CMixer::ParameterIndex(strip, position), value); }
    /// Every band of every strip at value (1.0 is flat).
    void SetAllBands(double value)
    {
        for (int s = 0; s < CMixer::kStrips; ++s) {
            Set(s, CMixer::kLow, value);
            Set(s, CMixer::kMid, value);
            Set(s, CMixer::kHigh, value);
        }
    }

    void Render(int blocks)
    {
        for (int b = 0; b < blocks; ++b) {
            for (int s = 0; s < CMixer::kStrips; ++s)
                Fill(s);
            mixer->Work();
            // The engine adds what the sends fed onto the return ports.
            for (int a = 0; a < CMixer::kAuxLoops; ++a)
                Fill(CMixer::kTracks + a, /*add=*/true);
            mixer->WorkReturns();
            Keep(CMixer::kOutputPort, left, right);
            Keep(CMixer::SendPort(0), send1Left, send1Right);
            Keep(CMixer::SendPort(1), send2Left, send2Right);
            position += kBlock;
        }
    }
    void Clear()
    {
        for (auto* v : {&left, &right, &send1Left, &send1Right, &send2Left, &send2Right})
            v->clear();
    }
    double Input(int strip, long sample, int channel) const
    {
        return inputs[strip] ? inputs[strip](sample, channel) : 0.0;
    }

    CStockTestHost host;
    std::unique_ptr<CMixer> mixer;
    std::vector<double> left, right, send1Left, send1Right, send2Left, send2Right;
    long position = 0;   // index of the next block's first sample

private:
    int PortOf(int strip) const
    {
        return strip < CMixer::kTracks ? CMixer::TrackInputPort(strip) : CMixer::ReturnPort(strip - CMixer::kTracks);
    }
    void Fill(int strip, bool add = false)
    {
        CAudioBuffer* audio = mixer->ports[PortOf(strip)]->audio;
        if (strip >= CMixer::kTracks && !add)
            return;
        for (int i = 0; i < kBlock; ++i) {
            const long n = position + i;
            const double l = Input(strip, n, 0);
            const double r = Input(strip, n, 1);
            audio->left[i] = add ? audio->left[i] + l : l;
            audio->right[i] = add ? audio->right[i] + r : r;
        }
    }
    void Keep(int port, std::vector<double>& l, std::vector<double>& r)
    {
        const CAudioBuffer* audio = mixer->ports[port]->audio;
        l.insert(l.end(), audio->left, audio->left + kBlock);
        r.insert(r.end(), audio->right, audio->right + kBlock);
    }

    std::function<double(long, int)> inputs[CMixer::kStrips];
};

CMixerRig::Signal Constant(double value)
{
    return [value](long, int) { return value; };
}

CMixerRig::Signal Tone(double hz)
{
    return [hz](long n, int channel) { return std::sin(2.0 * M_PI * hz * n / kRate + channel); };
}

} // namespace

TEST(Mixer, PortsInOrderWithTheirKinds)
{
    CStockTestHost host;
    CMixer mixer(&host);
    EXPECT_TRUE(HasPorts(mixer, {{0x121, "OUTPUT"},
                                 {0x111, "TRK1IN"},
                                 {0x111, "TRK2IN"},
                                 {0x111, "TRK3IN"},
                                 {0x111, "TRK4IN"},
                                 {0x111, "TRK5IN"},
                                 {0x111, "TRK6IN"},
                                 {0x111, "TRK7IN"},
                                 {0x111, "TRK8IN"},
                                 {0x161, "AUX1OUT"},
                                 {0x151, "AUX1IN"},
                                 {0x161, "AUX2OUT"},
                                 {0x151, "AUX2IN"}}));
    EXPECT_EQ(mixer.programCount, 0);
    EXPECT_EQ(mixer.triggerCount, 0);
    EXPECT_FALSE(mixer.IsInstrument());
}

TEST(Mixer, ParameterNamesValuesAndTexts)
{
    CStockTestHost host;
    CMixer mixer(&host);
    const int count = mixer.parameterCount;
    ASSERT_EQ(count, 66);
    char text[64];
    mixer.GetParameterName(0, text);
    EXPECT_STREQ(text, "Track 1 Level");
    mixer.GetParameterName(7 * 2 + 1, text);
    EXPECT_STREQ(text, "Track 3 Balance");
    mixer.GetParameterName(7 * 7 + 6, text);
    EXPECT_STREQ(text, "Track 8 AUX2");
    mixer.GetParameterName(56, text);
    EXPECT_STREQ(text, "AUX 1 Level");
    mixer.GetParameterName(65, text);
    EXPECT_STREQ(text, "AUX 2 High");
    mixer.GetParameterName(66, text);
    EXPECT_STREQ(text, "");
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(mixer.GetParameter(i), 0.5) << i;
    mixer.FormatParameter(3, 0.5, text);
    EXPECT_STREQ(text, "50%");
    mixer.FormatParameter(3, 0.999, text);
    EXPECT_STREQ(text, "99%");
    mixer.FormatParameter(-1, 0.5, text);
    EXPECT_STREQ(text, "");

    mixer.SetParameter(66, 0.9);
    mixer.SetParameter(-1, 0.9);
    EXPECT_EQ(mixer.GetParameter(66), 0.0);
    EXPECT_EQ(mixer.GetParameter(65), 0.5);
    mixer.SetParameter(65, 0.25);
    EXPECT_EQ(mixer.GetParameter(65), 0.25);
}

TEST(Mixer, GlideFromZeroToOneLandsAfter5994Samples)
{
    double gain = 0.0;
    int steps = 0;
    while (gain != 1.0 && steps < 100000) {
        gain = GlideToward(gain, 1.0);
        ++steps;
    }
    EXPECT_EQ(steps, 5994);
    EXPECT_EQ(GlideToward(0.3, 0.3), 0.3);
    EXPECT_EQ(GlideToward(1.0, 0.0), 1.0 - 1.1 * kGlideRate);

    // The same glide on a send: Track 1 AUX1 at 1.0 on a flat strip feeding
    // a constant 1 (the equaliser delays it by three samples).
    CMixerRig rig;
    rig.SetAllBands(1.0);
    rig.Set(0, CMixer::kAux1, 1.0);
    rig.Feed(0, Constant(1.0));
    rig.Render(24);
    EXPECT_LT(rig.send1Left[5992], 1.0);
    EXPECT_EQ(rig.send1Left[5993], 1.0);
    EXPECT_EQ(rig.send1Right[5993], 1.0);
    EXPECT_EQ(rig.send1Left.back(), 1.0);
    // AUX2 stays at its creation value 0.5.
    EXPECT_NEAR(rig.send2Left.back(), 0.5, 1e-12);
}

TEST(Mixer, CreationValuesSettleToQuarterOfTheStripGain)
{
    // Bands 0.5 each scale the three-sample-delayed input by 0.5 whatever
    // its frequency; Balance 0.5 gives each side half the strip gain.
    CMixerRig rig;
    rig.Feed(0, Tone(1000.0));
    rig.Feed(5, Tone(150.0));
    rig.Render(kSettleBlocks);
    const double expected = 0.5 * 0.5 * kCreationLevelGain;
    for (long n = rig.position - 512; n < rig.position; ++n) {
        for (int c = 0; c < 2; ++c) {
            const double in = rig.Input(0, n - 3, c) + rig.Input(5, n - 3, c);
            const double out = (c == 0 ? rig.left : rig.right)[static_cast<std::size_t>(n)];
            ASSERT_NEAR(out, expected * in, 1e-9) << n << " " << c;
        }
    }
    const double peak = rig.mixer->Peak(0, 0);
    // A 1 kHz tone's samples come within 0.3 % of its crest in every block.
    EXPECT_NEAR(peak, expected, expected * 0.01);
}

TEST(Mixer, FlatBandsPassTheInputDelayedByThreeSamples)
{
    for (double hz : {40.0, 880.0, 3000.0, 5000.0, 15000.0}) {
        CMixerRig rig;
        rig.SetAllBands(1.0);
        rig.Set(2, CMixer::kLevel, 0.8);   // unity
        rig.Feed(2, Tone(hz));
        rig.Render(kSettleBlocks);
        for (long n = rig.position - 300; n < rig.position; ++n) {
            // Level 0.8 is unity up to the single-precision Level (7e-8 dB).
            ASSERT_NEAR(rig.left[static_cast<std::size_t>(n)], 0.5 * rig.Input(2, n - 3, 0), 1e-6) << hz;
            ASSERT_NEAR(rig.right[static_cast<std::size_t>(n)], 0.5 * rig.Input(2, n - 3, 1), 1e-6) << hz;
        }
    }
}

TEST(Mixer, BandsSeparateLowMidAndHigh)
{
    // Only one band open at a time: a tone far inside a band passes nearly
    // whole, one far outside is strongly reduced.
    struct Case {
        int openBand;
        double insideHz;
        double outsideHz;
    };
    for (const Case& c : {Case{CMixer::kLow, 60.0, 12000.0}, Case{CMixer::kHigh, 16000.0, 100.0},
                          Case{CMixer::kMid, 2100.0, 15.0}}) {
        for (const double hz : {c.insideHz, c.outsideHz}) {
            CMixerRig rig;
            rig.SetAllBands(0.0);
            rig.Set(0, c.openBand, 1.0);
            rig.Set(0, CMixer::kLevel, 0.8);
            rig.Set(0, CMixer::kBalance, 0.0);
            rig.Feed(0, Tone(hz));
            rig.Render(kSettleBlocks + 64);
            const double level =
                stock_test::ToneAmplitude(rig.left, hz, kRate, rig.left.size() - 16384, 16384);
            if (hz == c.insideHz)
                EXPECT_GT(level, 0.5) << c.openBand << " " << hz;
            else
                EXPECT_LT(level, 0.1) << c.openBand << " " << hz;
        }
    }
}

TEST(Mixer, Level08WithBalance0IsFullLeftAndSilentRight)
{
    CMixerRig rig;
    rig.Set(0, CMixer::kLevel, 0.8);
    rig.Set(0, CMixer::kBalance, 0.0);
    rig.SetAllBands(1.0);
    rig.Feed(0, Tone(440.0));
    rig.Render(kSettleBlocks);
    for (long n = rig.position - 512; n < rig.position; ++n) {
        ASSERT_NEAR(rig.left[static_cast<std::size_t>(n)], rig.Input(0, n - 3, 0), 1e-6);
        // The other strips are silent but for the rounding residue of the
        // equalisers' anti-denormal offset, some 500 dB down.
        ASSERT_NEAR(rig.right[static_cast<std::size_t>(n)], 0.0, 1e-15);
    }
}

TEST(Mixer, SoloIsExclusiveAndSilencesEverythingElse)
{
    // Track t carries the constant t + 1 and the first return 100, on
    // flat unity strips: the settled output names who is heard.
    CMixerRig rig;
    rig.SetAllBands(1.0);
    for (int s = 0; s < CMixer::kStrips; ++s) {
        rig.Set(s, CMixer::kLevel, 0.8);
        rig.Feed(s, Constant(s < CMixer::kTracks ? s + 1.0 : 0.0));
    }
    rig.Feed(CMixer::kTracks, Constant(100.0));
    auto settled = [&rig] {
        rig.Clear();
        rig.Render(kSettleBlocks);
        return rig.left.back() * 2.0;   // Balance 0.5 halves each side
    };
    EXPECT_NEAR(settled(), 36.0 + 100.0, 1e-4);

    rig.mixer->SetSolo(2, true);   // track 3
    EXPECT_EQ(rig.mixer->SoloStrip(), 2);
    EXPECT_NEAR(settled(), 3.0, 1e-6);

    rig.mixer->SetSolo(4, true);   // track 5 takes the solo over
    EXPECT_EQ(rig.mixer->SoloStrip(), 4);
    EXPECT_NEAR(settled(), 5.0, 1e-6);

    rig.mixer->SetSolo(2, false);  // not the soloed strip: nothing changes
    EXPECT_EQ(rig.mixer->SoloStrip(), 4);
    rig.mixer->SetSolo(CMixer::kTracks, true);   // the first return
    EXPECT_NEAR(settled(), 100.0, 1e-4);
    rig.mixer->SetSolo(CMixer::kTracks, false);
    EXPECT_EQ(rig.mixer->SoloStrip(), CMixer::kNoSolo);
    EXPECT_NEAR(settled(), 136.0, 1e-4);
    rig.mixer->SetSolo(CMixer::kStrips, true);   // out of range
    EXPECT_EQ(rig.mixer->SoloStrip(), CMixer::kNoSolo);
}

TEST(Mixer, MutedTrackFeedsNeitherOutputNorSends)
{
    CMixerRig rig;
    rig.SetAllBands(1.0);
    rig.Set(0, CMixer::kAux1, 1.0);
    rig.Set(0, CMixer::kAux2, 1.0);
    rig.Feed(0, Constant(1.0));
    rig.Feed(1, Constant(0.25));   // unmuted, no sends beyond 0.5
    rig.Render(kSettleBlocks);
    EXPECT_NEAR(rig.send1Left.back(), 1.0 + 0.125, 1e-9);

    rig.mixer->SetMute(0, true);
    EXPECT_TRUE(rig.mixer->IsMuted(0));
    rig.Clear();
    rig.Render(kSettleBlocks);
    EXPECT_NEAR(rig.send1Left.back(), 0.125, 1e-9);
    EXPECT_NEAR(rig.send2Right.back(), 0.125, 1e-9);
    EXPECT_NEAR(rig.left.back(), 0.25 * 0.5 * kCreationLevelGain, 1e-9);
    EXPECT_EQ(rig.mixer->Peak(0, 0), 0.0);

    // Soloing another track also takes a track's sends away.
    rig.mixer->SetMute(0, false);
    rig.mixer->SetSolo(1, true);
    rig.Clear();
    rig.Render(kSettleBlocks);
    EXPECT_NEAR(rig.send1Left.back(), 0.125, 1e-9);
}

TEST(Mixer, WorkClearsTheReturnPortsForTheEngineToAddInto)
{
    CMixerRig rig;
    CAudioBuffer* ret = rig.mixer->ports[CMixer::ReturnPort(1)]->audio;
    ret->left[0] = 7.0;
    ret->right[kBlock - 1] = 7.0;
    rig.mixer->Work();
    EXPECT_EQ(ret->left[0], 0.0);
    EXPECT_EQ(ret->right[kBlock - 1], 0.0);
}

TEST(Mixer, SampleRateChangeKeepsTheFlatResponse)
{
    CMixerRig rig;
    rig.mixer->SetSampleRate(96000);
    rig.SetAllBands(1.0);
    rig.Set(0, CMixer::kLevel, 0.8);
    rig.Feed(0, Tone(7000.0));
    rig.Render(kSettleBlocks);
    const long n = rig.position - 1;
    EXPECT_NEAR(rig.left[static_cast<std::size_t>(n)], 0.5 * rig.Input(0, n - 3, 0), 1e-6);
}
