#include "stockpack/dsp/ZazudEnvelope.h"

ZazudEnvelope::ZazudEnvelope()
{
    UpdateIncrements();
}

double ZazudEnvelope::Increment(double seconds, int rate)
{
    // A stage of no length (or a nonsensical negative or NaN one) completes
    // in one sample.
    if (!(seconds > 0.0))
        return 1.0;
    const double step = 1.0 / (seconds * rate);
    return step < 1.0 ? step : 1.0;
}

void ZazudEnvelope::UpdateIncrements()
{
    delayIncrement = Increment(delaySeconds, sampleRate);
    attackIncrement = Increment(attackSeconds, sampleRate);
    holdIncrement = Increment(holdSeconds, sampleRate);
    decayIncrement = Increment(decaySeconds, sampleRate);
}

void ZazudEnvelope::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
    UpdateIncrements();
}

void ZazudEnvelope::SetDelay(double seconds)
{
    delaySeconds = seconds;
    delayIncrement = Increment(seconds, sampleRate);
}

void ZazudEnvelope::SetAttack(double seconds)
{
    attackSeconds = seconds;
    attackIncrement = Increment(seconds, sampleRate);
}

void ZazudEnvelope::SetHold(double seconds)
{
    holdSeconds = seconds;
    holdIncrement = Increment(seconds, sampleRate);
}

void ZazudEnvelope::SetDecay(double seconds)
{
    decaySeconds = seconds;
    decayIncrement = Increment(seconds, sampleRate);
}

void ZazudEnvelope::SetAttackCurve(double curve)
{
    // An attack under way keeps its level too, for the same reason as the
    // decay below.
    if (stage == Stage::Attack) {
        const double level = attackShape.Value(x);
        attackShape = CurveShape::FromCurve(curve);
        x = attackShape.Position(level);
        return;
    }
    attackShape = CurveShape::FromCurve(curve);
}

void ZazudEnvelope::SetDecayCurve(double curve)
{
    // A knob turned while a hit rings must not click: the position moves to
    // where the new curve gives the same level.
    if (stage == Stage::Decay) {
        const double fallen = decayShape.Value(x);
        decayShape = CurveShape::FromCurve(curve);
        x = decayShape.Position(fallen);
        return;
    }
    decayShape = CurveShape::FromCurve(curve);
}

void ZazudEnvelope::SetRepeatCount(int repeats)
{
    repeatCount = repeats > 0 ? repeats : 0;
}

double ZazudEnvelope::Level() const noexcept
{
    switch (stage) {
    case Stage::Attack: return attackShape.Value(x);
    case Stage::Hold: return 1.0;
    case Stage::Decay: return 1.0 - decayShape.Value(x);
    default: return 0.0;
    }
}

void ZazudEnvelope::Trigger() noexcept
{
    repeatsLeft = repeatCount;
    double start = 0.0;
    if (stage == Stage::Attack)
        start = x;
    else if (stage == Stage::Decay || stage == Stage::Hold)
        start = attackShape.Position(Level());
    if (delaySeconds > 0.0) {
        stage = Stage::Delay;
        pendingAttack = start;
        x = 0.0;
    } else {
        stage = Stage::Attack;
        x = start;
    }
}

void ZazudEnvelope::Reset() noexcept
{
    stage = Stage::Idle;
    x = 0.0;
    repeatsLeft = 0;
}

double ZazudEnvelope::Next() noexcept
{
    switch (stage) {
    case Stage::Idle:
        return 0.0;
    case Stage::Delay:
        x += delayIncrement;
        if (x >= 1.0) {
            stage = Stage::Attack;
            x = pendingAttack;
        }
        return 0.0;
    case Stage::Attack: {
        x += attackIncrement;
        if (x > 1.0)
            x = 1.0;
        const double level = attackShape.Value(x);
        if (x >= 1.0) {
            stage = holdSeconds > 0.0 ? Stage::Hold : Stage::Decay;
            x = 0.0;
        }
        return level;
    }
    case Stage::Hold:
        x += holdIncrement;
        if (x >= 1.0) {
            stage = Stage::Decay;
            x = 0.0;
        }
        return 1.0;
    case Stage::Decay: {
        x += decayIncrement;
        if (x >= 1.0) {
            if (repeatsLeft > 0) {
                --repeatsLeft;
                stage = Stage::Attack;
            } else {
                stage = Stage::Idle;
            }
            x = 0.0;
            return 0.0;
        }
        return 1.0 - decayShape.Value(x);
    }
    }
    return 0.0;
}

void ZazudEnvelope::Render(double* out, int frames) noexcept
{
    if (stage == Stage::Idle) {
        for (int i = 0; i < frames; ++i)
            out[i] = 0.0;
        return;
    }
    for (int i = 0; i < frames; ++i)
        out[i] = Next();
}
