#include "stockpack/dsp/Envelope.h"

#include <cmath>

namespace {

constexpr double kPositionTolerance = 1e-9;

} // namespace

double CEnvelope::Step(double seconds, int rate)
{
    const double samples = seconds * rate;
    // A zero or negative time finishes the stage in one sample.
    return samples > 1.0 ? 1.0 / samples : 1.0;
}

void CEnvelope::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
    attackStep = Step(attackSeconds, sampleRate);
    decayStep = Step(decaySeconds, sampleRate);
    releaseStep = Step(releaseSeconds, sampleRate);
}

void CEnvelope::SetAttack(double seconds)
{
    attackSeconds = seconds;
    attackStep = Step(seconds, sampleRate);
}

void CEnvelope::SetDecay(double seconds)
{
    decaySeconds = seconds;
    decayStep = Step(seconds, sampleRate);
}

void CEnvelope::SetSustain(double level)
{
    sustain = level;
}

void CEnvelope::SetRelease(double seconds)
{
    releaseSeconds = seconds;
    releaseStep = Step(seconds, sampleRate);
}

void CEnvelope::SetAttackCurve(double curve)
{
    const double level = Level();
    attackCurve = CurveShape::FromCurve(curve);
    if (stage == Stage::Attack)
        position = attackCurve.Position(level);
}

void CEnvelope::SetDecayCurve(double curve)
{
    const double level = Level();
    decayCurve = CurveShape::FromCurve(curve);
    // With sustain at 1 the decay is flat and any position gives the level.
    if (stage == Stage::Decay && sustain != 1.0)
        position = decayCurve.Position((level - 1.0) / (sustain - 1.0));
}

void CEnvelope::SetReleaseCurve(double curve)
{
    const double level = Level();
    releaseCurve = CurveShape::FromCurve(curve);
    // Keeping the level here too spares a click when the curve knob turns
    // during a long release.
    if (stage == Stage::Release)
        position = releaseCurve.Position(1.0 - level);
}

double CEnvelope::Level() const noexcept
{
    switch (stage) {
    case Stage::Idle:
        return 0.0;
    case Stage::Attack:
        return attackCurve.Value(position);
    case Stage::Decay:
        return 1.0 + decayCurve.Value(position) * (sustain - 1.0);
    case Stage::Sustain:
        return sustain;
    case Stage::Release:
        return 1.0 - releaseCurve.Value(position);
    }
    return 0.0;
}

void CEnvelope::NoteOn() noexcept
{
    if (stage == Stage::Attack)
        return;
    const double level = Level();
    stage = Stage::Attack;
    position = attackCurve.Position(level);
}

void CEnvelope::NoteOff() noexcept
{
    if (stage == Stage::Idle || stage == Stage::Release)
        return;
    const double level = Level();
    stage = Stage::Release;
    position = releaseCurve.Position(1.0 - level);
}

void CEnvelope::Reset() noexcept
{
    stage = Stage::Idle;
    position = 0.0;
}

void CEnvelope::Render(double* out, int frames) noexcept
{
    int i = 0;
    while (i < frames) {
        // A stage that reached its end hands over before the next sample,
        // so each stage's final value (1 for the attack, the sustain level,
        // 0) is the first of the stage that follows.
        if (position >= 1.0) {
            if (stage == Stage::Attack) {
                stage = Stage::Decay;
                position = 0.0;
            } else if (stage == Stage::Decay) {
                stage = Stage::Sustain;
            } else if (stage == Stage::Release) {
                stage = Stage::Idle;
                position = 0.0;
            }
        }
        if (stage == Stage::Idle || stage == Stage::Sustain) {
            const double level = stage == Stage::Idle ? 0.0 : sustain;
            for (; i < frames; ++i)
                out[i] = level;
            return;
        }

        // One timed stage: value = offset + scale * curve(position).
        const CurveShape& shape = stage == Stage::Attack ? attackCurve : stage == Stage::Decay ? decayCurve : releaseCurve;
        const double step = stage == Stage::Attack ? attackStep : stage == Stage::Decay ? decayStep : releaseStep;
        const double offset = stage == Stage::Attack ? 0.0 : 1.0;
        const double scale = stage == Stage::Attack ? 1.0 : stage == Stage::Decay ? sustain - 1.0 : -1.0;
        if (shape.Straight()) {
            for (; i < frames && position < 1.0; ++i) {
                out[i] = offset + scale * position;
                position += step;
                // Rounding in the sum of steps must not add a sample.
                if (position >= 1.0 - kPositionTolerance)
                    position = 1.0;
            }
        } else {
            // e^(c x) advanced by one factor per sample instead of one
            // exponential per sample.
            const double perStep = std::exp(shape.curve * step);
            double power = std::exp(shape.curve * position);
            const double norm = scale / shape.denominator;
            for (; i < frames && position < 1.0; ++i) {
                out[i] = offset + norm * (1.0 - power);
                power *= perStep;
                position += step;
                if (position >= 1.0 - kPositionTolerance)
                    position = 1.0;
            }
        }
    }
}
