#include "stockpack/dsp/Portamento.h"

#include <cmath>

namespace {

constexpr double kPositionTolerance = 1e-9;

} // namespace

void CPortamento::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
}

void CPortamento::SetTimes(double fixed, double perOctave)
{
    fixedSeconds = fixed;
    secondsPerOctave = perOctave;
}

void CPortamento::SetCurve(double curve)
{
    // The pitch stays where it is: the new curve applies from the current
    // position, which moves to the one that gives the same pitch.
    const double pitch = Pitch();
    shape = CurveShape::FromCurve(curve);
    if (sliding && target != start)
        position = shape.Position((pitch - start) / (target - start));
}

void CPortamento::Start(double targetOctaves) noexcept
{
    if (!std::isfinite(targetOctaves))
        return;
    const double from = Pitch();
    target = targetOctaves;
    const double seconds = hasPitch ? std::fabs(targetOctaves - from) * secondsPerOctave + fixedSeconds : 0.0;
    hasPitch = true;
    const double samples = seconds * sampleRate;
    if (!(samples >= 1.0)) {
        sliding = false;
        start = target;
        position = 1.0;
        return;
    }
    sliding = true;
    start = from;
    position = 0.0;
    step = 1.0 / samples;
}

void CPortamento::Reset() noexcept
{
    hasPitch = false;
    sliding = false;
    start = target = 0.0;
    position = 1.0;
}

double CPortamento::Pitch() const noexcept
{
    if (!sliding)
        return target;
    return start + shape.Value(position) * (target - start);
}

double CPortamento::Next() noexcept
{
    if (!sliding)
        return target;
    const double pitch = start + shape.Value(position) * (target - start);
    position += step;
    // Rounding in the sum of steps must not add a sample to the slide.
    if (position >= 1.0 - kPositionTolerance) {
        position = 1.0;
        sliding = false;
    }
    return pitch;
}

void CPortamento::RenderOffset(double* out, int frames) noexcept
{
    for (int i = 0; i < frames; ++i)
        out[i] = Next() - target;
}

void CPortamento::RenderPitch(double* out, int frames) noexcept
{
    for (int i = 0; i < frames; ++i)
        out[i] = Next();
}

void CPortamento::Skip(int frames) noexcept
{
    for (int i = 0; i < frames && sliding; ++i)
        Next();
}
