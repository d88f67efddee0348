// The drum envelope measured sample by sample: stage lengths, the trigger
// law that continues from the current level, curve changes without a
// jump, repeats, delay and hold.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stockpack/dsp/ZazudEnvelope.h"

namespace {

// A power of two, so that stages of a power-of-two number of samples take
// exact steps of 1/(t * rate) and end on the sample they should.
constexpr int kRate = 1024;
constexpr double kSample = 1.0 / kRate;

std::vector<double> RenderEnvelope(ZazudEnvelope& envelope, int frames)
{
    std::vector<double> out(static_cast<std::size_t>(frames));
    envelope.Render(out.data(), frames);
    return out;
}

ZazudEnvelope Make(double attackSeconds, double decaySeconds)
{
    ZazudEnvelope e;
    e.SetSampleRate(kRate);
    e.SetAttack(attackSeconds);
    e.SetDecay(decaySeconds);
    return e;
}

} // namespace

TEST(ZazudEnvelope, StraightStagesTakeTheirTimes)
{
    ZazudEnvelope e = Make(8 * kSample, 16 * kSample);
    EXPECT_TRUE(e.IsIdle());
    e.Trigger();
    const auto out = RenderEnvelope(e, 40);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[static_cast<std::size_t>(i)], (i + 1) / 8.0) << i;
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(out[static_cast<std::size_t>(8 + i)], 1.0 - (i + 1) / 16.0) << i;
    EXPECT_EQ(out[23], 0.0);
    EXPECT_TRUE(e.IsIdle());
    EXPECT_EQ(out[39], 0.0);
}

TEST(ZazudEnvelope, ZeroTimesCompleteInOneSample)
{
    ZazudEnvelope e = Make(0.0, 0.0);
    e.Trigger();
    const auto out = RenderEnvelope(e, 3);
    EXPECT_EQ(out[0], 1.0);   // the whole attack
    EXPECT_EQ(out[1], 0.0);   // the whole decay
    EXPECT_TRUE(e.IsIdle());

    // Negative and NaN times behave as 0.
    ZazudEnvelope odd = Make(-1.0, std::nan(""));
    odd.Trigger();
    const auto oddOut = RenderEnvelope(odd, 2);
    EXPECT_EQ(oddOut[0], 1.0);
    EXPECT_EQ(oddOut[1], 0.0);
}

TEST(ZazudEnvelope, RetriggerContinuesFromTheCurrentLevel)
{
    for (double attackCurve : {0.0, 3.0, -5.0}) {
        for (double decayCurve : {0.0, -4.0, 6.0}) {
            ZazudEnvelope e = Make(0.05, 0.1);
            e.SetAttackCurve(attackCurve);
            e.SetDecayCurve(decayCurve);
            e.Trigger();
            auto before = RenderEnvelope(e, 121);   // 70 samples into the decay
            const double level = before.back();
            ASSERT_GT(level, 0.02);
            ASSERT_LT(level, 0.95);
            e.Trigger();
            const auto after = RenderEnvelope(e, 1);
            // No larger jump than one attack step can make from that level.
            const double step = 1.0 / (0.05 * kRate);
            const double x = attackCurve == 0.0 ? level : std::log(1.0 - level * (1.0 - std::exp(attackCurve))) / attackCurve;
            const double oneStep = attackCurve == 0.0
                                       ? step
                                       : (1.0 - std::exp(attackCurve * (x + step))) / (1.0 - std::exp(attackCurve)) - level;
            EXPECT_GE(after[0], level - 1e-9) << attackCurve << " " << decayCurve;
            EXPECT_LE(after[0] - level, oneStep + 1e-9) << attackCurve << " " << decayCurve;
        }
    }

    // An attack under way goes on from where it is.
    ZazudEnvelope rising = Make(0.01, 0.1);
    rising.Trigger();
    const auto first = RenderEnvelope(rising, 5);
    rising.Trigger();
    const auto next = RenderEnvelope(rising, 1);
    EXPECT_NEAR(next[0], first[4] + 1.0 / (0.01 * kRate), 1e-12);
}

TEST(ZazudEnvelope, DecayCurveChangeKeepsTheLevel)
{
    ZazudEnvelope e = Make(0.0, 0.1);
    e.Trigger();
    const auto before = RenderEnvelope(e, 30);
    e.SetDecayCurve(-6.0);
    const auto after = RenderEnvelope(e, 1);
    // The new curve falls faster than the straight one, but from where the
    // level was: within one straight step of it.
    EXPECT_LE(after[0], before.back());
    EXPECT_GT(after[0], before.back() - 0.05);
}

TEST(ZazudEnvelope, RepeatsRestartTheAttackAndTriggerReloadsThem)
{
    ZazudEnvelope e = Make(2 * kSample, 4 * kSample);   // 6 samples a round
    e.SetRepeatCount(3);
    e.Trigger();
    const auto out = RenderEnvelope(e, 30);
    int peaks = 0;
    for (double v : out)
        peaks += v == 1.0 ? 1 : 0;
    EXPECT_EQ(peaks, 4);
    EXPECT_TRUE(e.IsIdle());
    e.Trigger();
    const auto again = RenderEnvelope(e, 30);
    peaks = 0;
    for (double v : again)
        peaks += v == 1.0 ? 1 : 0;
    EXPECT_EQ(peaks, 4);
}

TEST(ZazudEnvelope, DelayAndHoldStages)
{
    ZazudEnvelope e = Make(0.0, 0.0);
    e.SetDelay(4 * kSample);
    e.SetHold(4 * kSample);
    e.Trigger();
    EXPECT_EQ(e.CurrentStage(), ZazudEnvelope::Stage::Delay);
    const auto out = RenderEnvelope(e, 12);
    // 4 samples of delay, the 1-sample attack, 4 of hold, the 1-sample decay.
    const std::vector<double> expected{0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(out[i], expected[i]) << i;

    // Triggered in the hold, the level stays at 1.
    ZazudEnvelope held = Make(0.0, 16 * kSample);
    held.SetHold(16 * kSample);
    held.Trigger();
    RenderEnvelope(held, 4);
    ASSERT_EQ(held.CurrentStage(), ZazudEnvelope::Stage::Hold);
    held.Trigger();
    EXPECT_EQ(RenderEnvelope(held, 1)[0], 1.0);
}

// Hits, retriggers mid-decay, a decay time and a curve changed while the
// envelope rings, in uneven blocks: the envelope that copies remembered
// decays gives the samples and gains of one that computes every sample.
TEST(ZazudEnvelope, RememberedDecaysGiveTheSameSamples)
{
    ZazudEnvelope computed, copied;
    for (ZazudEnvelope* e : {&computed, &copied}) {
        e->SetSampleRate(44100);
        e->SetAttack(0.0005);
        e->SetDecay(0.02);
        e->SetDecayCurve(-4.0);
    }
    copied.RememberDecays(300, true);
    std::vector<double> a(37), b(37), gainsA(37), gainsB(37);
    for (int block = 0; block < 400; ++block) {
        if (block % 40 == 0 || block % 97 == 5) {
            computed.Trigger();
            copied.Trigger();
        }
        if (block == 150 || block == 300) {
            computed.SetDecay(block == 150 ? 0.03 : 0.02);
            copied.SetDecay(block == 150 ? 0.03 : 0.02);
        }
        if (block == 210) {
            computed.SetDecayCurve(-3.0);
            copied.SetDecayCurve(-3.0);
        }
        computed.Render(a.data(), 37, gainsA.data());
        copied.Render(b.data(), 37, gainsB.data());
        ASSERT_EQ(a, b) << "block " << block;
        ASSERT_EQ(gainsA, gainsB) << "block " << block;
        for (int i = 0; i < 37; ++i)
            ASSERT_EQ(gainsA[static_cast<std::size_t>(i)], std::exp2(a[static_cast<std::size_t>(i)]) - 1.0);
    }
}
