#include "stockpack/dsp/TapUnit.h"

#include <utility>

CTapUnit::CTapUnit(std::vector<double> taps, double gain) : coefficients(std::move(taps)), gain(gain)
{
    if (coefficients.empty())
        coefficients.push_back(1.0);
    // The line is kept twice over so that the taps always read one
    // contiguous run of it, without wrapping inside the sum.
    lineLeft.assign(2 * coefficients.size(), 0.0);
    lineRight.assign(2 * coefficients.size(), 0.0);
}

double CTapUnit::ProcessSample(std::vector<double>& line, double x) noexcept
{
    const int n = TapCount();
    line[static_cast<std::size_t>(position)] = x;
    line[static_cast<std::size_t>(position + n)] = x;
    // line[position + n - j] is the input j samples ago.
    const double* newest = line.data() + position + n;
    double y = 0.0;
    for (int j = 0; j < n; ++j)
        y += newest[-j] * coefficients[static_cast<std::size_t>(j)];
    return y * gain;
}

void CTapUnit::Process(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                       int frames) noexcept
{
    const int n = TapCount();
    for (int i = 0; i < frames; ++i) {
        outLeft[i] = ProcessSample(lineLeft, inLeft[i]);
        outRight[i] = ProcessSample(lineRight, inRight[i]);
        if (++position >= n)
            position = 0;
    }
}
