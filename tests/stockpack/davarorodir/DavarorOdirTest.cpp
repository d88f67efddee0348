// DavarorOdir measured: its parameters' names, defaults and texts, where the
// direct path lands among the early taps, the tail's decay (energy in a late
// window against an early one) and how feedback lengthens it, and silence
// after the tail has died away.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/davarorodir/DavarorOdir.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::CStockTestHost;

namespace {

constexpr int kBlock = 256;
constexpr int kRate = 44100;

class CReverbRig {
public:
    CReverbRig()
    {
        host.blockSize = kBlock;
        host.sampleRate = kRate;
        reverb = std::make_unique<CDavarorOdir>(&host);
    }

    /// Renders at least frames samples: an impulse of 1 on both channels at
    /// the first sample when impulse is set, silence otherwise.
    void Render(std::size_t frames, bool impulse)
    {
        CPort* inPort = reverb->ports[CDavarorOdir::kLineInPort];
        CPort* outPort = reverb->ports[CDavarorOdir::kLineOutPort];
        CAudioBuffer* in = inPort->audio;
        const CAudioBuffer* out = outPort->audio;
        for (std::size_t start = 0; start < frames; start += kBlock) {
            for (int i = 0; i < kBlock; ++i) {
                const bool one = impulse && start == 0 && i == 0;
                in->left[i] = one ? 1.0 : 0.0;
                in->right[i] = one ? 1.0 : 0.0;
            }
            reverb->Work();
            left.insert(left.end(), out->left, out->left + kBlock);
            right.insert(right.end(), out->right, out->right + kBlock);
        }
    }

    double Energy(double fromSeconds, double toSeconds) const
    {
        double sum = 0.0;
        const auto begin = static_cast<std::size_t>(fromSeconds * kRate);
        const auto end = static_cast<std::size_t>(toSeconds * kRate);
        for (std::size_t n = begin; n < end && n < left.size(); ++n)
            sum += left[n] * left[n] + right[n] * right[n];
        return sum;
    }

    CStockTestHost host;
    std::unique_ptr<CDavarorOdir> reverb;
    std::vector<double> left, right;
};

std::string Name(CDavarorOdir& reverb, int index)
{
    char text[64] = {};
    reverb.GetParameterName(index, text);
    return text;
}

std::string Text(CDavarorOdir& reverb, int index, double value)
{
    char text[64] = {};
    reverb.FormatParameter(index, value, text);
    return text;
}

/// Decay in dB per second between the energies of two windows.
double DecayDbPerSecond(const CReverbRig& rig, double a, double b, double width)
{
    const double early = rig.Energy(a, a + width);
    const double late = rig.Energy(b, b + width);
    return 10.0 * std::log10(early / late) / (b - a);
}

} // namespace

TEST(DavarorOdir, ParameterNamesDefaultsAndTexts)
{
    CReverbRig rig;
    CDavarorOdir& reverb = *rig.reverb;
    const char* names[] = {"Src Left X", "Src Left Y", "Src Right X", "Src Right Y", "Dst Left X",
                           "Dst Left Y", "Dst Right X", "Dst Right Y", "Room Width", "Room Height",
                           "Wall Absorb", "Feedback",   "Cutoff",      "Gain"};
    const double defaults[] = {0.2, 0.2, 0.8, 0.2, 0.4, 0.8, 0.6, 0.8, 0.0, 0.0, 0.5, 0.5, 1.0, 0.7};
    const int count = reverb.parameterCount;
    ASSERT_EQ(count, 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(Name(reverb, i), names[i]) << i;
        EXPECT_EQ(reverb.GetParameter(i), defaults[i]) << i;
    }
    EXPECT_EQ(Name(reverb, 14), "");
    EXPECT_EQ(reverb.GetParameter(14), 0.0);
    EXPECT_EQ(reverb.GetParameter(-1), 0.0);
    EXPECT_FALSE(reverb.IsInstrument());
    EXPECT_TRUE(stock_test::HasPorts(reverb, {{0x111, "Line In"}, {0x121, "Line Out"}}));
    EXPECT_EQ(reverb.programCount, 0);
    EXPECT_EQ(reverb.triggerCount, 0);

    EXPECT_EQ(Text(reverb, 0, 0.2), "20%");
    EXPECT_EQ(Text(reverb, 8, 0.0), "10m");
    EXPECT_EQ(Text(reverb, 9, 1.0), "30m");
    EXPECT_EQ(Text(reverb, 10, 0.5), "50%");
    EXPECT_EQ(Text(reverb, 12, 0.0), "14Hz");   // 13.75 Hz
    EXPECT_EQ(Text(reverb, 12, 1.0), "11025Hz");
    EXPECT_EQ(Text(reverb, 13, 0.7), "2.00dB");
    EXPECT_EQ(Text(reverb, 14, 0.5), "");
    EXPECT_NEAR(CDavarorOdir::CutoffHz(0.0, kRate), 13.75, 1e-9);
    EXPECT_NEAR(CDavarorOdir::FeedbackAmount(1.0), 0.999, 1e-15);
    EXPECT_NEAR(CDavarorOdir::Reflection(1.0), 0.001, 1e-15);
}

TEST(DavarorOdir, DirectPathIsTheFirstTapAtItsTravelTime)
{
    CReverbRig rig;
    CDavarorOdir& reverb = *rig.reverb;
    const int length = reverb.ImpulseLength();
    ASSERT_EQ(length, 3307);   // integer part of 44100 * 0.075
    // Left source at (2.6 m, 2.6 m), left listening point at (4.2 m, 7.4 m)
    // in the 10 m room.
    const double d = std::hypot(4.2 - 2.6, 7.4 - 2.6);
    const int slot = static_cast<int>(d / CImageSourceTree::kSpeedOfSound / (0.075 / length));
    const CSparseTapUnit& unit = reverb.Unit(0);
    ASSERT_GT(unit.TapCount(0), 1);
    EXPECT_EQ(unit.Taps(0)[0].index, slot);
    EXPECT_DOUBLE_EQ(unit.Taps(0)[0].value, 1.0);
    // Later taps are reflections, each weaker than the direct path.
    for (int i = 1; i < unit.TapCount(0); ++i)
        EXPECT_LE(unit.Taps(0)[i].value, 1.0 + 1e-12);
}

TEST(DavarorOdir, AbsorbentWallsLeaveAlmostOnlyTheDirectPath)
{
    CReverbRig rig;
    CDavarorOdir& reverb = *rig.reverb;
    reverb.SetParameter(CDavarorOdir::kWallAbsorb, 1.0);
    rig.Render(kBlock, false);   // the change is applied at the start of Work
    const CSparseTapUnit& unit = reverb.Unit(0);
    double reflected = 0.0;
    for (int i = 1; i < unit.TapCount(0); ++i)
        reflected += unit.Taps(0)[i].value;
    EXPECT_DOUBLE_EQ(unit.Taps(0)[0].value, 1.0);
    // Four first-order images at most share a tap each, 0.001 apiece, plus
    // far weaker higher orders.
    EXPECT_LT(reflected, 0.01);
}

TEST(DavarorOdir, ImpulseTailDecaysAndFeedbackLengthensIt)
{
    auto decayAt = [](double feedback) {
        CReverbRig rig;
        rig.reverb->SetParameter(CDavarorOdir::kFeedback, feedback);
        rig.reverb->EndParameterUpdate();   // applies it with the glides' targets
        // Let the feedback glide land before the impulse (0 to 1 takes 5994
        // samples at most).
        rig.Render(8192, false);
        rig.left.clear();
        rig.right.clear();
        rig.Render(static_cast<std::size_t>(1.5 * kRate), true);
        EXPECT_GT(rig.Energy(0.1, 0.2), rig.Energy(0.4, 0.5));
        EXPECT_GT(rig.Energy(0.4, 0.5), rig.Energy(0.7, 0.8));
        return DecayDbPerSecond(rig, 0.1, 0.5, 0.1);
    };
    const double decayLow = decayAt(0.3);
    const double decayHigh = decayAt(0.8);
    EXPECT_GT(decayLow, 0.0);
    EXPECT_GT(decayHigh, 0.0);
    // RT60 = 60 / decay: more feedback gives a longer tail.
    EXPECT_GT(60.0 / decayHigh, 2.0 * (60.0 / decayLow));
}

TEST(DavarorOdir, SilenceAfterTheTail)
{
    CReverbRig rig;
    rig.reverb->SetParameter(CDavarorOdir::kFeedback, 0.2);
    rig.Render(static_cast<std::size_t>(4.0 * kRate), true);
    double late = 0.0;
    for (std::size_t n = static_cast<std::size_t>(3.5 * kRate); n < rig.left.size(); ++n)
        late = std::max({late, std::fabs(rig.left[n]), std::fabs(rig.right[n])});
    EXPECT_LT(late, 1e-12);
    double early = 0.0;
    for (std::size_t n = 0; n < static_cast<std::size_t>(0.1 * kRate); ++n)
        early = std::max(early, std::fabs(rig.left[n]));
    EXPECT_GT(early, 0.1);
}

TEST(SparseTapUnit, NewTapsFadeInLinearlyAndAReplacementContinuesTheFade)
{
    // A constant input of 1 makes each output the sum of its taps' values,
    // so the crossfade weight can be read off sample by sample.
    CSparseTapUnit unit;
    unit.SetLength(16, 4);
    std::vector<double> one(16, 0.0), none(16, 0.0), half(16, 0.0);
    one[3] = 1.0;
    half[5] = 0.5;
    unit.SetTaps(one.data(), one.data(), 0);
    double l = 0.0, r = 0.0, pre = 0.0;
    for (int n = 0; n < 16; ++n)
        unit.Process(1.0, l, r, pre);
    EXPECT_EQ(l, 1.0);
    EXPECT_EQ(r, 1.0);
    EXPECT_EQ(pre, 1.0);

    constexpr int kFade = 8;
    unit.SetTaps(none.data(), none.data(), kFade);
    for (int j = 0; j < 4; ++j) {
        unit.Process(1.0, l, r, pre);
        EXPECT_NEAR(l, 1.0 - j / double(kFade), 1e-12) << j;
        EXPECT_NEAR(r, l, 0.0);
    }
    // A new set during the fade replaces the incoming one; the weight goes
    // on from 4 / 8.
    unit.SetTaps(half.data(), half.data(), kFade);
    for (int j = 4; j < kFade; ++j) {
        unit.Process(1.0, l, r, pre);
        const double w = j / double(kFade);
        EXPECT_NEAR(l, 0.5 * w + 1.0 * (1.0 - w), 1e-12) << j;
    }
    EXPECT_FALSE(unit.Fading());
    unit.Process(1.0, l, r, pre);
    EXPECT_EQ(l, 0.5);
    ASSERT_EQ(unit.TapCount(0), 1);
    EXPECT_EQ(unit.Taps(0)[0].index, 5);
}

TEST(DavarorOdir, ListeningPointChangeStartsAFadeOfAtMost128Samples)
{
    CReverbRig rig;
    CDavarorOdir& reverb = *rig.reverb;
    EXPECT_FALSE(reverb.Unit(0).Fading());
    reverb.SetParameter(CDavarorOdir::kDstLeftX, 0.9);
    CAudioBuffer* in = reverb.ports[CDavarorOdir::kLineInPort]->audio;
    for (int i = 0; i < kBlock; ++i)
        in->left[i] = in->right[i] = 0.0;
    // One block of 256 holds the whole 128-sample fade.
    reverb.Work();
    EXPECT_FALSE(reverb.Unit(0).Fading());
    // The left listening point moved to (8.2 m, 7.4 m): the direct path of
    // the right source at (7.4 m, 2.6 m) now lands at its new distance.
    const int length = reverb.ImpulseLength();
    const double d = std::hypot(8.2 - 7.4, 7.4 - 2.6);
    const int slot = static_cast<int>(d / CImageSourceTree::kSpeedOfSound / (0.075 / length));
    EXPECT_EQ(reverb.Unit(1).Taps(0)[0].index, slot);
}
