#include "stockpack/dsp/ZazudEnvelope.h"

#include <algorithm>
#include <cmath>

#include "stockpack/dsp/Amplifier.h"

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
    const double decay = Increment(decaySeconds, sampleRate);
    if (decay != decayIncrement)
        Forget();
    decayIncrement = decay;
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
    const double decay = Increment(seconds, sampleRate);
    if (decay != decayIncrement)
        Forget();
    decayIncrement = decay;
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
    const CurveShape shape = CurveShape::FromCurve(curve);
    if (shape.curve != decayShape.curve)
        Forget();
    if (stage == Stage::Decay) {
        const double fallen = decayShape.Value(x);
        decayShape = shape;
        x = decayShape.Position(fallen);
        decayIndex = -1;   // the position moved off the steps of a decay from 0
        return;
    }
    decayShape = shape;
}

void ZazudEnvelope::RememberDecays(int samples, bool withGains)
{
    rememberCapacity = std::max(samples, 0);
    const auto size = static_cast<std::size_t>(rememberCapacity);
    rememberedPositions.assign(size, 0.0);
    rememberedLevels.assign(size, 0.0);
    rememberedGains.assign(withGains ? size : 0, 0.0);
    remembered = 0;
}

void ZazudEnvelope::Forget() noexcept
{
    remembered = 0;
    decayIndex = -1;
}

double ZazudEnvelope::GainOf(double level) noexcept
{
    if (level != gainLevel) {
        gainLevel = level;
        gainOfLevel = AmplifierGain(level);
    }
    return gainOfLevel;
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
    decayIndex = -1;
}

void ZazudEnvelope::EndDecay() noexcept
{
    if (repeatsLeft > 0) {
        --repeatsLeft;
        stage = Stage::Attack;
    } else {
        stage = Stage::Idle;
    }
    x = 0.0;
    decayIndex = -1;
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
            decayIndex = 0;
        }
        return level;
    }
    case Stage::Hold:
        x += holdIncrement;
        if (x >= 1.0) {
            stage = Stage::Decay;
            x = 0.0;
            decayIndex = 0;
        }
        return 1.0;
    case Stage::Decay: {
        x += decayIncrement;
        if (x >= 1.0) {
            EndDecay();
            return 0.0;
        }
        return 1.0 - decayShape.Value(x);
    }
    }
    return 0.0;
}

int ZazudEnvelope::CopyRemembered(double* out, double* gains, int start, int frames) noexcept
{
    const auto from = static_cast<std::size_t>(decayIndex);
    const int n = std::min(remembered - decayIndex, frames - start);
    std::copy_n(rememberedLevels.data() + from, n, out + start);
    if (gains != nullptr) {
        if (!rememberedGains.empty()) {
            std::copy_n(rememberedGains.data() + from, n, gains + start);
        } else {
            for (int i = start; i < start + n; ++i)
                gains[i] = AmplifierGain(out[i]);
        }
    }
    x = rememberedPositions[from + static_cast<std::size_t>(n) - 1];
    decayIndex += n;
    return start + n;
}

int ZazudEnvelope::RenderDecay(double* out, double* gains, int start, int frames) noexcept
{
    if (decayIndex >= 0 && decayIndex < remembered) {
        start = CopyRemembered(out, gains, start, frames);
        if (start == frames)
            return start;
    }
    // The positions first, then the curve over them in a loop of its own:
    // a loop that calls exp keeps nothing in registers across the call, and
    // the division vectorizes once it is apart. The arithmetic is Next's,
    // step for step, so the samples are the same.
    double position = x;
    const double increment = decayIncrement;
    int end = start;
    while (end < frames) {
        position += increment;
        if (position >= 1.0)
            break;
        out[end++] = position;
    }
    // The first hit after a change of settings fills what the next copy.
    const bool filling = decayIndex >= 0 && decayIndex == remembered && remembered < rememberCapacity;
    const int keep = filling ? std::min(end - start, rememberCapacity - remembered) : 0;
    const auto at = static_cast<std::size_t>(remembered);
    std::copy_n(out + start, keep, rememberedPositions.data() + at);

    if (decayShape.Straight()) {
        for (int i = start; i < end; ++i)
            out[i] = 1.0 - out[i];
    } else {
        const double curve = decayShape.curve;
        for (int i = start; i < end; ++i)
            out[i] = std::exp(curve * out[i]);
        const double denominator = decayShape.denominator;
        for (int i = start; i < end; ++i)
            out[i] = 1.0 - (1.0 - out[i]) / denominator;
    }
    if (gains != nullptr) {
        for (int i = start; i < end; ++i)
            gains[i] = AmplifierGain(out[i]);
    }
    if (keep > 0) {
        std::copy_n(out + start, keep, rememberedLevels.data() + at);
        if (!rememberedGains.empty()) {
            if (gains != nullptr) {
                std::copy_n(gains + start, keep, rememberedGains.data() + at);
            } else {
                for (int k = 0; k < keep; ++k)
                    rememberedGains[at + static_cast<std::size_t>(k)] = AmplifierGain(out[start + k]);
            }
        }
        remembered += keep;
    }
    if (decayIndex >= 0)
        decayIndex += end - start;
    x = position;
    if (end < frames) {
        // The position reached 1 on this sample.
        EndDecay();
        out[end] = 0.0;
        if (gains != nullptr)
            gains[end] = 0.0;
        ++end;
    }
    return end;
}

void ZazudEnvelope::Render(double* out, int frames, double* gains) noexcept
{
    int i = 0;
    while (i < frames) {
        switch (stage) {
        case Stage::Idle:
            for (; i < frames; ++i) {
                out[i] = 0.0;
                if (gains != nullptr)
                    gains[i] = 0.0;
            }
            return;
        case Stage::Decay:
            i = RenderDecay(out, gains, i, frames);
            break;
        default:
            out[i] = Next();
            if (gains != nullptr)
                gains[i] = GainOf(out[i]);
            ++i;
            break;
        }
    }
}
