#include "stockpack/dsp/Lfo.h"

CLfo::CLfo(const LfoTables& tables, RandomSource random) : tables(tables), random(random)
{
    SetShape(LfoShape::Sine);
}

void CLfo::SetSampleRate(int rate)
{
    oscillator.SetSampleRate(rate);
}

void CLfo::SetRate(double hz)
{
    oscillator.SetFrequency(hz);
}

void CLfo::SetShape(LfoShape newShape)
{
    shape = newShape;
    switch (shape) {
    case LfoShape::Sine:
        oscillator.SetTable(tables.sine);
        break;
    case LfoShape::Triangle:
        oscillator.SetTable(tables.triangle);
        break;
    case LfoShape::Saw:
        oscillator.SetTable(tables.saw);
        break;
    case LfoShape::Pulse:
        oscillator.SetTable(tables.square);
        break;
    case LfoShape::SampleAndHold:
    case LfoShape::SampleAndGlide:
        break;
    }
}

double CLfo::DrawRandom() noexcept
{
    const int r = random != nullptr ? random() : 0;
    return static_cast<double>(2.0f * (static_cast<float>(r) / static_cast<float>(kRandomMaximum) - 0.5f));
}

void CLfo::OnWrap() noexcept
{
    if (shape == LfoShape::SampleAndHold) {
        held = DrawRandom();
    } else if (shape == LfoShape::SampleAndGlide) {
        held = next;
        next = DrawRandom();
    }
}

void CLfo::Render(double* out, int frames) noexcept
{
    if (shape != LfoShape::SampleAndHold && shape != LfoShape::SampleAndGlide) {
        oscillator.Render(out, frames);
        return;
    }
    const double increment = oscillator.Increment();
    double phase = oscillator.Phase();
    for (int i = 0; i < frames; ++i) {
        out[i] = shape == LfoShape::SampleAndHold ? held : held + (next - held) * phase;
        phase += increment;
        if (phase >= 1.0) {
            phase -= 1.0;
            OnWrap();
        }
    }
    oscillator.SetPhase(phase);
}

void CLfo::Skip(int frames) noexcept
{
    if (oscillator.Skip(frames))
        OnWrap();
}
