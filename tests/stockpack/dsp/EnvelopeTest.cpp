// The envelope unit: stage lengths to the sample, levels kept across note-on
// and note-off in any stage, and the curves' end points.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stockpack/dsp/Envelope.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"

namespace {

constexpr int kRate = 44100;

CEnvelope MakeEnvelope(double attack, double decay, double sustain, double release)
{
    CEnvelope envelope;
    envelope.SetSampleRate(kRate);
    envelope.SetAttack(attack);
    envelope.SetDecay(decay);
    envelope.SetSustain(sustain);
    envelope.SetRelease(release);
    return envelope;
}

struct Sample {
    CEnvelope::Stage stage;   // the stage that produced the value
    double value;
};

/// Renders count samples one at a time, each tagged with its stage.
std::vector<Sample> Trace(CEnvelope& envelope, long count)
{
    std::vector<Sample> trace;
    trace.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        double value;
        envelope.Render(&value, 1);
        trace.push_back({envelope.CurrentStage(), value});
    }
    return trace;
}

/// The values of one stage, in order.
std::vector<double> Stage(const std::vector<Sample>& trace, CEnvelope::Stage stage)
{
    std::vector<double> values;
    for (const Sample& sample : trace) {
        if (sample.stage == stage)
            values.push_back(sample.value);
    }
    return values;
}

} // namespace

TEST(Envelope, StageLengthsMatchTheParameterTimesToTheSample)
{
    using S = CEnvelope::Stage;
    for (double v : {0.0, 0.1, 0.2, 0.25, 0.5}) {
        const double seconds = razuzuri::StageSeconds(v);
        const double expected = seconds * kRate;
        CEnvelope envelope = MakeEnvelope(seconds, seconds, 0.5, seconds);
        envelope.NoteOn();
        const auto held = Trace(envelope, static_cast<long>(2 * expected) + 200);

        // Attack: from 0 towards 1 for the stage time; the value 1 itself is
        // the first of the decay, on sample round(time * rate).
        const auto attack = Stage(held, S::Attack);
        ASSERT_FALSE(attack.empty());
        EXPECT_EQ(attack.front(), 0.0);
        EXPECT_LT(attack.back(), 1.0);
        EXPECT_NEAR(static_cast<double>(attack.size()), expected, 1.0) << v;

        // Decay: from 1 to the sustain level over its time.
        const auto decay = Stage(held, S::Decay);
        ASSERT_FALSE(decay.empty());
        EXPECT_EQ(decay.front(), 1.0);
        EXPECT_GT(decay.back(), 0.5);
        EXPECT_NEAR(static_cast<double>(decay.size()), expected, 1.0) << v;

        const auto sustain = Stage(held, S::Sustain);
        EXPECT_GE(sustain.size(), 150u);
        for (double h : sustain)
            EXPECT_EQ(h, 0.5);

        // Release: from the sustain level to 0, over the part of the release
        // time that the level stands for (the release always spans 1 .. 0).
        envelope.NoteOff();
        const auto released = Trace(envelope, static_cast<long>(expected / 2) + 100);
        const auto release = Stage(released, S::Release);
        ASSERT_FALSE(release.empty());
        EXPECT_EQ(release.front(), 0.5);
        EXPECT_GT(release.back(), 0.0);
        EXPECT_NEAR(static_cast<double>(release.size()), expected * 0.5, 1.0) << v;
        EXPECT_FALSE(envelope.IsActive());
        const auto idle = Stage(released, S::Idle);
        ASSERT_FALSE(idle.empty());
        for (double h : idle)
            EXPECT_EQ(h, 0.0);
    }
}

TEST(Envelope, ShortestStageIsTenMilliseconds)
{
    EXPECT_EQ(razuzuri::StageSeconds(0.0), 0.01);
    EXPECT_EQ(razuzuri::StageSeconds(0.1), 0.01);   // 8 * 0.001 = 0.008
    EXPECT_DOUBLE_EQ(razuzuri::StageSeconds(0.5), 1.0);
    EXPECT_DOUBLE_EQ(razuzuri::StageSeconds(1.0), 8.0);
}

TEST(Envelope, NoteEventsNeverMakeTheLevelJump)
{
    for (double curve : {0.0, 5.0, -6.0}) {
        CEnvelope envelope = MakeEnvelope(0.1, 0.1, 0.3, 0.2);
        envelope.SetAttackCurve(curve);
        envelope.SetDecayCurve(curve);
        envelope.SetReleaseCurve(curve);
        double samples[2000];
        envelope.NoteOn();
        envelope.Render(samples, 2000);   // mid-attack
        const double level = envelope.Level();
        ASSERT_GT(level, 0.05);
        ASSERT_LT(level, 0.95);

        // Release from the middle of the attack starts where the attack was.
        envelope.NoteOff();
        double next;
        envelope.Render(&next, 1);
        EXPECT_NEAR(next, level, 1e-9) << curve;

        // A new note during the release attacks from the release's level.
        envelope.Render(samples, 1000);
        const double releasing = envelope.Level();
        envelope.NoteOn();
        EXPECT_EQ(envelope.CurrentStage(), CEnvelope::Stage::Attack);
        envelope.Render(&next, 1);
        EXPECT_NEAR(next, releasing, 1e-9) << curve;

        // A note-on during the attack leaves it running.
        envelope.Render(samples, 100);
        const double before = envelope.Level();
        envelope.NoteOn();
        EXPECT_EQ(envelope.Level(), before);
    }
}

TEST(Envelope, CurvesBendTheStageButKeepItsEnds)
{
    for (double curve : {-8.0, -1.0, 1.0, 8.0}) {
        CEnvelope envelope = MakeEnvelope(0.05, 0.05, 0.25, 0.05);
        envelope.SetAttackCurve(curve);
        envelope.NoteOn();
        const auto trace = Trace(envelope, 2300);
        const auto attack = Stage(trace, CEnvelope::Stage::Attack);
        EXPECT_EQ(attack.front(), 0.0);
        EXPECT_EQ(Stage(trace, CEnvelope::Stage::Decay).front(), 1.0);
        // Negative curves rise fast (above the line at the midpoint),
        // positive ones start slowly; always monotonic.
        const double middle = attack[attack.size() / 2];
        if (curve < 0) {
            EXPECT_GT(middle, 0.6) << curve;
        } else {
            EXPECT_LT(middle, 0.4) << curve;
        }
        for (std::size_t i = 1; i < attack.size(); ++i)
            ASSERT_GE(attack[i], attack[i - 1]) << curve << " " << i;
    }
}

TEST(Envelope, CurveChangeMidStageKeepsTheLevel)
{
    CEnvelope envelope = MakeEnvelope(0.1, 0.1, 0.2, 0.1);
    envelope.NoteOn();
    std::vector<double> buffer(5000);
    double* samples = buffer.data();
    envelope.Render(samples, 1500);
    const double inAttack = envelope.Level();
    envelope.SetAttackCurve(6.0);
    EXPECT_NEAR(envelope.Level(), inAttack, 1e-12);

    envelope.Render(samples, 4410 - 1500 + 1000);   // into the decay
    ASSERT_EQ(envelope.CurrentStage(), CEnvelope::Stage::Decay);
    const double inDecay = envelope.Level();
    envelope.SetDecayCurve(-5.0);
    EXPECT_NEAR(envelope.Level(), inDecay, 1e-12);

    envelope.NoteOff();
    envelope.Render(samples, 500);
    const double inRelease = envelope.Level();
    envelope.SetReleaseCurve(4.0);
    EXPECT_NEAR(envelope.Level(), inRelease, 1e-12);
}

TEST(Envelope, NoteOffWhileIdleStaysSilent)
{
    CEnvelope envelope = MakeEnvelope(0.01, 0.01, 1.0, 0.01);
    envelope.NoteOff();
    EXPECT_FALSE(envelope.IsActive());
    double out[16];
    envelope.Render(out, 16);
    for (double v : out)
        EXPECT_EQ(v, 0.0);
}
