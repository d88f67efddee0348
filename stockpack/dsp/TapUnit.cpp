#include "stockpack/dsp/TapUnit.h"

#include <utility>

CTapUnit::CTapUnit(std::vector<double> taps, double gain) : coefficients(std::move(taps)), gain(gain)
{
    if (coefficients.empty())
        coefficients.push_back(1.0);
    line.assign(2 * coefficients.size(), StereoPair{});
}

void CTapUnit::Process(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                       int frames) noexcept
{
    const int n = TapCount();
    const double* taps = coefficients.data();
    const StereoPair scale = BothLanes(gain);
    for (int i = 0; i < frames; ++i) {
        const StereoPair x{inLeft[i], inRight[i]};
        line[static_cast<std::size_t>(position)] = x;
        line[static_cast<std::size_t>(position + n)] = x;
        // newest[-j] is the input j samples ago. Two running sums halve the
        // chain of dependent additions.
        const StereoPair* newest = line.data() + position + n;
        StereoPair even{};
        StereoPair odd{};
        int j = 0;
        for (; j + 1 < n; j += 2) {
            even += newest[-j] * taps[j];
            odd += newest[-j - 1] * taps[j + 1];
        }
        if (j < n)
            even += newest[-j] * taps[j];
        const StereoPair y = (even + odd) * scale;
        outLeft[i] = y[0];
        outRight[i] = y[1];
        if (++position >= n)
            position = 0;
    }
}
