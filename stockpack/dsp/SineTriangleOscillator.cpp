#include "stockpack/dsp/SineTriangleOscillator.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "stockpack/dsp/Pitch.h"

void CSineTriangleOscillator::SetTables(CountedTable sineTable, CountedTable triangleTable)
{
    sine = sineTable;
    triangle = triangleTable;
}

void CSineTriangleOscillator::SetSampleRate(int rate)
{
    inverseRate = 1.0 / (rate > 0 ? rate : 44100);
    ForgetSteps();
}

void CSineTriangleOscillator::ForgetSteps() noexcept
{
    keptSteps.Forget();
}

double CSineTriangleOscillator::StepFor(double pitch) noexcept
{
    if (const KeptStep* kept = keptSteps.Find(pitch, pitch))
        return kept->step;
    const double step = OctavesToHz(pitch) * inverseRate;
    keptSteps.Keep({pitch, step}, pitch);
    return step;
}

double CSineTriangleOscillator::Read(CountedTable table, double fraction, int i0, int i1) noexcept
{
    return table.values[i0] + (table.values[i1] - table.values[i0]) * fraction;
}

void CSineTriangleOscillator::Render(double* out, const double* pitch, const double* triangleShare,
                                     int frames) noexcept
{
    if (sine.Empty()) {
        for (int i = 0; i < frames; ++i)
            out[i] = 0.0;
        return;
    }
    // Both tables have the same length (one period each), so one index
    // serves both.
    const int count = sine.count;
    const bool crossfade = triangleShare != nullptr && !triangle.Empty() && triangle.count == count;
    // The steps first, into out: the loop below then keeps its state in
    // registers, with no library call to save them across.
    for (int i = 0; i < frames; ++i)
        out[i] = StepFor(pitch[i]);
    for (int i = 0; i < frames; ++i) {
        const double step = out[i];
        const double index = phase * count;
        int i0 = static_cast<int>(index);
        if (i0 >= count)
            i0 = count - 1;
        const int i1 = i0 + 1 < count ? i0 + 1 : 0;
        const double fraction = index - i0;
        double value = Read(sine, fraction, i0, i1);
        if (crossfade) {
            const double share = triangleShare[i];
            value += (Read(triangle, fraction, i0, i1) - value) * share;
        }
        out[i] = value;
        phase += step;
        // Pitches beyond one period per sample are not musical; fmod keeps
        // the phase inside the table for any of them.
        if (phase >= 1.0)
            phase = phase < 2.0 ? phase - 1.0 : std::fmod(phase, 1.0);
        if (!(phase >= 0.0))
            phase = 0.0;
    }
}
