#include "stockpack/dsp/TableOscillator.h"

#include <cmath>

void CTableOscillator::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
    SetFrequency(frequency);
}

void CTableOscillator::SetFrequency(double hz)
{
    frequency = hz;
    increment = hz / sampleRate;
    // Rates beyond one period per sample, or negative, would walk outside
    // 0 .. 1; such rates are not musical for an LFO in any case.
    if (!(increment >= 0.0))
        increment = 0.0;
    else if (increment >= 1.0)
        increment = std::fmod(increment, 1.0);
}

double CTableOscillator::ValueAt(double p) const noexcept
{
    if (table.Empty())
        return 0.0;
    const double index = p * table.count;
    int i0 = static_cast<int>(index);
    if (i0 < 0)
        i0 = 0;
    if (i0 >= table.count)
        i0 = table.count - 1;
    const int i1 = i0 + 1 < table.count ? i0 + 1 : 0;
    const double fraction = index - i0;
    return table.values[i0] + (table.values[i1] - table.values[i0]) * fraction;
}

bool CTableOscillator::Render(double* out, int frames) noexcept
{
    bool wrapped = false;
    if (table.Empty()) {
        for (int i = 0; i < frames; ++i) {
            out[i] = 0.0;
            Advance(wrapped);
        }
        return wrapped;
    }
    // The phase stays in 0 .. 1, so its index is inside the table; the
    // last entry interpolates towards the first.
    const double* values = table.values;
    const int count = table.count;
    const double scale = static_cast<double>(count);
    for (int i = 0; i < frames; ++i) {
        const double index = phase * scale;
        int i0 = static_cast<int>(index);
        if (i0 >= count)
            i0 = count - 1;
        const int i1 = i0 + 1 < count ? i0 + 1 : 0;
        out[i] = values[i0] + (values[i1] - values[i0]) * (index - i0);
        Advance(wrapped);
    }
    return wrapped;
}

bool CTableOscillator::Skip(int frames) noexcept
{
    if (frames <= 0)
        return false;
    const double advanced = phase + increment * frames;
    phase = advanced - std::floor(advanced);
    return advanced >= 1.0;
}
