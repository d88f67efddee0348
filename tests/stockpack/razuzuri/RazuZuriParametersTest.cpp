// RazuZuri's 73 parameters: names, defaults, and the display text of every
// format at its defining values.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "stockpack/razuzuri/RazuZuri.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"
#include "tests/stockpack/StockTestSupport.h"

using namespace razuzuri;

namespace {

std::string Text(int index, double value)
{
    char out[64];
    std::memset(out, 'x', sizeof out);
    FormatParameterValue(index, value, out, sizeof out);
    return out;
}

} // namespace

TEST(RazuZuriParameters, NamesAndDefaultsInIndexOrder)
{
    const char* names[kParameterCount] = {
        "Amp Attack", "Amp Decay", "Amp Sustain", "Amp Release", "Amp Attack Curve", "Amp Decay Curve",
        "Amp Release Curve", "Filter Attack", "Filter Decay", "Filter Sustain", "Filter Release",
        "Filter Attack Curve", "Filter Decay Curve", "Filter Release Curve", "VCO1 Shape", "VCO1 Pulse Width",
        "VCO1 Semitone", "VCO1 EnvMod", "VCO2 Shape", "VCO2 Pulse Width", "VCO2 Semitone", "VCO2 Detune",
        "VCO2 EnvMod", "Sync", "VCF1 Mode", "VCF1 Cutoff", "VCF1 Resonance", "VCF1 Key Follow", "VCF1 Env Mod",
        "VCF2 Mode", "VCF2 Cutoff", "VCF2 Resonance", "VCF2 Key Follow", "VCF2 Env Mod", "Filter Routing",
        "Formant Mix", "Formant Vowel", "Osc Balance", "Osc Volume", "Noise", "Saturation", "Overdrive",
        "Ring Mod", "Portamento", "Glide", "Slide Curve"};
    const double defaults[46] = {0.2, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.2, 0.5, 1.0, 0.5, 0.5,
                                 0.5, 0.5, 0.4, 0.5, 0.5, 0.0, 0.4, 0.5, 0.5, 0.1, 0.0, 0.0,
                                 0.0, 0.15, 0.5, 1.0, 0.5, 0.0, 0.1, 0.2, 1.0, 0.5, 0.0, 0.0,
                                 0.0, 0.5, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.5};
    for (int i = 0; i < 46; ++i) {
        ASSERT_NE(GetParameterInfo(i), nullptr);
        EXPECT_STREQ(GetParameterInfo(i)->name, names[i]) << i;
        EXPECT_EQ(GetParameterInfo(i)->defaultValue, defaults[i]) << i;
    }
    for (int k = 0; k < 3; ++k) {
        const std::string lfo = "LFO" + std::to_string(k + 1);
        const int base = 46 + 9 * k;
        EXPECT_EQ(GetParameterInfo(base)->name, lfo + " Rate");
        EXPECT_EQ(GetParameterInfo(base + 1)->name, lfo + " Shape");
        EXPECT_EQ(GetParameterInfo(base + 2)->name, lfo + " Fade In");
        EXPECT_EQ(GetParameterInfo(base)->defaultValue, 0.5);
        EXPECT_EQ(GetParameterInfo(base + 1)->defaultValue, 0.0);
        EXPECT_EQ(GetParameterInfo(base + 2)->defaultValue, 0.0);
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(GetParameterInfo(base + 3 + 2 * s)->name, lfo + " Send " + std::to_string(s + 1));
            EXPECT_EQ(GetParameterInfo(base + 4 + 2 * s)->name, lfo + " Amp " + std::to_string(s + 1));
            EXPECT_EQ(GetParameterInfo(base + 3 + 2 * s)->defaultValue, 0.0);
            EXPECT_EQ(GetParameterInfo(base + 4 + 2 * s)->defaultValue, 1.0);
        }
    }
    EXPECT_EQ(GetParameterInfo(-1), nullptr);
    EXPECT_EQ(GetParameterInfo(73), nullptr);
}

TEST(RazuZuriParameters, TimeFadePercentAndRateTexts)
{
    EXPECT_EQ(Text(kAmpAttack, 0.0), "0.01s");
    EXPECT_EQ(Text(kAmpAttack, 0.1), "0.01s");
    EXPECT_EQ(Text(kAmpAttack, 0.2), "0.06s");   // 8 * 0.008 = 0.064
    EXPECT_EQ(Text(kAmpRelease, 0.5), "1.00s");
    EXPECT_EQ(Text(kFilterAttack + 1, 1.0), "8.00s");
    EXPECT_EQ(Text(kLfo1Rate + 2, 0.0), "0.00s");   // fade: no floor
    EXPECT_EQ(Text(kLfo1Rate + 2, 0.5), "1.00s");
    EXPECT_EQ(Text(kAmpSustain, 0.5), "50%");
    EXPECT_EQ(Text(kVcf1Cutoff, 0.15), "15%");
    EXPECT_EQ(Text(kAmpSustain, 1.0), "100%");
    EXPECT_EQ(Text(kLfo1Rate, 1.0), "27.50Hz");
    EXPECT_EQ(Text(kLfo1Rate, 0.0), "0.00Hz");
    EXPECT_EQ(Text(kLfo1Rate + 9, 12.0 / 13.0), "13.75Hz");   // LFO2, 440 * 2^-5
}

TEST(RazuZuriParameters, LevelAndOverdriveTexts)
{
    for (int level : {kOscVolume, kNoise, kRingMod}) {
        EXPECT_EQ(Text(level, 0.0), "-oo dB");
        EXPECT_EQ(Text(level, 1.0), "0dB");
        EXPECT_EQ(Text(level, 1.5), "0dB");
        EXPECT_EQ(Text(level, 0.5), "-24.00dB");
        EXPECT_EQ(Text(level, 0.75), "-12.00dB");
    }
    EXPECT_EQ(Text(kOverdrive, 0.0), "0dB");
    EXPECT_EQ(Text(kOverdrive, 0.5), "+24.00dB");
    EXPECT_EQ(Text(kOverdrive, 1.0), "+48.00dB");
}

TEST(RazuZuriParameters, SemitoneDetuneAndOnOffTexts)
{
    EXPECT_EQ(Text(kVco1Semitone, 0.5), "0st");
    EXPECT_EQ(Text(kVco1Semitone, 0.625), "12st");
    EXPECT_EQ(Text(kVco2Semitone, 0.0), "-48st");
    EXPECT_EQ(Text(kVco2Semitone, 1.0), "48st");
    EXPECT_EQ(Text(kVco1Semitone, 0.49), "0st");   // truncated towards zero
    EXPECT_EQ(Text(kVco1Semitone, 0.48), "-1st");
    EXPECT_EQ(Text(kVco2Detune, 0.1), "0.10st");
    EXPECT_EQ(Text(kSync, 0.0), "Off");
    EXPECT_EQ(Text(kSync, 0.499), "Off");
    EXPECT_EQ(Text(kSync, 0.5), "On");
}

TEST(RazuZuriParameters, ListTexts)
{
    EXPECT_EQ(Text(kVco1Shape, 0.0), "Saw");
    EXPECT_EQ(Text(kVco1Shape, 0.4), "Square");
    EXPECT_EQ(Text(kVco2Shape, 1.0), "TriSquare");   // clamped to the list
    EXPECT_EQ(Text(kVcf1Mode, 0.0), "Low Pass");
    EXPECT_EQ(Text(kVcf2Mode + 0, 0.5), "High Pass");
    EXPECT_EQ(Text(kFilterRouting, 0.0), "Serial");
    EXPECT_EQ(Text(kFilterRouting, 0.34), "Parallel");
    EXPECT_EQ(Text(kFilterRouting, 1.0), "Split");
    EXPECT_EQ(Text(kSaturation, 0.25), "Soft Clip");
    EXPECT_EQ(Text(kSaturation, 0.5), "Digital");
    EXPECT_EQ(Text(kSaturation, 0.99), "Distort");
    EXPECT_EQ(Text(kFormantVowel, 0.0), "Male IY");
    EXPECT_EQ(Text(kFormantVowel, 20.0 / 45.0 + 1e-9), "Soprano A");
    EXPECT_EQ(Text(kFormantVowel, 1.0), "Bass U");
    EXPECT_EQ(Text(kLfo1Rate + 1, 0.0), "Sine");
    EXPECT_EQ(Text(kLfo1Rate + 1, 4.0 / 6.0 + 1e-9), "S&H");
    EXPECT_EQ(Text(kLfo1Rate + 1, 1.0), "S&G");
}

TEST(RazuZuriParameters, SendTextNamesTheDestinationInUse)
{
    const char* destinations[] = {"None",       "VCO1 Amp",   "VCO2 Amp",         "VCO1 Pitch",
                                  "VCO2 Pitch", "VCO1 Pulse Width", "VCO2 Pulse Width", "VCF1 Pitch",
                                  "VCF2 Pitch", "VCF1 Resonance",   "VCF2 Resonance"};
    for (int send : {49, 51, 53, 58, 60, 62, 67, 69, 71}) {
        for (int d = 0; d <= 10; ++d) {
            const double v = d / 10.0 + 0.05;   // the middle of the value range that selects d
            const int selected = static_cast<int>(DestinationFromValue(d == 10 ? 1.0 : v));
            EXPECT_EQ(selected, d);
            EXPECT_EQ(Text(send, d == 10 ? 1.0 : v), destinations[d]) << send << " " << d;
        }
        // 0.95 selects VCF1 Resonance (10 * 0.95 = 9.5), and says so.
        EXPECT_EQ(Text(send, 0.95), "VCF1 Resonance");
    }
    // Every Amp reads as a percentage, the last one too.
    EXPECT_EQ(Text(72, 0.5), "50%");
    EXPECT_EQ(Text(50, 1.0), "100%");
}

TEST(RazuZuriParameters, ValuesOutsideTheRangeAreSafe)
{
    // The machine writes at most 24 bytes, whatever the value: absurd
    // values from a damaged project are cut, never written past that.
    stock_test::CSynthRig rig(false);
    const double odd[] = {-1e300, -2.0, 1.7, 1e300, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity()};
    for (int index = 0; index < kParameterCount; ++index) {
        for (double v : odd) {
            char out[64];
            std::memset(out, 'x', sizeof out);
            rig.Synth().FormatParameter(index, v, out);
            EXPECT_LT(std::strlen(out), 24u) << index;
            for (std::size_t i = 24; i < sizeof out; ++i)
                ASSERT_EQ(out[i], 'x') << index;
        }
    }
    EXPECT_EQ(Text(-1, 0.5), "");
    EXPECT_EQ(Text(73, 0.5), "");
    EXPECT_EQ(SemitonesFromValue(1e300), 48);
    EXPECT_EQ(SemitonesFromValue(std::nan("")), -48);
    EXPECT_EQ(ListIndex(std::nan(""), 4), 0);
    EXPECT_EQ(DestinationFromValue(-5.0), LfoDestination::None);
}

TEST(RazuZuriParameters, LevelsMapToGainsWithExactEnds)
{
    EXPECT_EQ(LevelGain(0.0), 0.0);
    EXPECT_EQ(LevelGain(1.0), 1.0);
    EXPECT_DOUBLE_EQ(LevelGain(0.5), std::pow(10.0, -2.4));
    EXPECT_EQ(OverdriveGain(0.0), 1.0);
    EXPECT_DOUBLE_EQ(OverdriveGain(0.25), std::pow(10.0, 1.2));
    EXPECT_DOUBLE_EQ(SlideSeconds(0.5), 0.1);
    EXPECT_EQ(CutoffOctaves(0.15), static_cast<double>(12.0f * 0.15f));
    EXPECT_EQ(KeyFollowFactor(0.0), -1.0);
    EXPECT_EQ(KeyFollowFactor(1.0), 1.0);
}

TEST(RazuZuriParameters, MachineAnswersWithTheTable)
{
    stock_test::CSynthRig rig(false);
    CRazuZuri& synth = rig.Synth();
    EXPECT_EQ(synth.parameterCount, 73);
    char out[64];
    synth.GetParameterName(36, out);
    EXPECT_STREQ(out, "Formant Vowel");
    synth.GetParameterName(73, out);
    EXPECT_STREQ(out, "");
    synth.FormatParameter(kOscVolume, 0.0, out);
    EXPECT_STREQ(out, "-oo dB");
    synth.FormatCurrentParameter(kVco1Shape, out);
    EXPECT_STREQ(out, "Square");
    for (int i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(synth.GetParameter(i), GetParameterInfo(i)->defaultValue) << i;
    EXPECT_EQ(synth.GetParameter(73), 0.0);
    EXPECT_EQ(synth.GetParameter(-1), 0.0);
}
