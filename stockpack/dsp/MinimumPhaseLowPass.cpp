#include "stockpack/dsp/MinimumPhaseLowPass.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "stockpack/dsp/Fft.h"

namespace {

constexpr int kZeroCrossingsEachSide = 8;

} // namespace

std::vector<double> DesignMinimumPhaseLowPass(int factor)
{
    using Complex = CFft::Complex;
    const int span = 2 * kZeroCrossingsEachSide * factor;
    const int n = span + 1;
    const double pi = std::numbers::pi;

    std::vector<Complex> data(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = 2.0 * kZeroCrossingsEachSide * i / span - kZeroCrossingsEachSide;
        const double sinc = x == 0.0 ? 1.0 : std::sin(pi * x) / (pi * x);
        const double window = 0.42 - 0.5 * std::cos(2.0 * pi * i / span) + 0.08 * std::cos(4.0 * pi * i / span);
        data[static_cast<std::size_t>(i)] = sinc * window;
    }

    // Real cepstrum: the inverse transform of the log magnitude.
    CFft fft(n);
    fft.Forward(data.data());
    for (Complex& bin : data)
        bin = std::log(std::abs(bin));
    fft.Inverse(data.data());

    // Fold the anticausal part onto the causal one.
    std::vector<Complex> folded(static_cast<std::size_t>(n), 0.0);
    folded[0] = data[0].real();
    for (int j = 1; j < n / 2; ++j)
        folded[static_cast<std::size_t>(j)] = 2.0 * data[static_cast<std::size_t>(j)].real();
    if (n % 2 == 0)
        folded[static_cast<std::size_t>(n / 2)] = data[static_cast<std::size_t>(n / 2)].real();

    fft.Forward(folded.data());
    for (Complex& bin : folded)
        bin = std::exp(bin);
    fft.Inverse(folded.data());

    std::vector<double> coefficients(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        coefficients[static_cast<std::size_t>(i)] = folded[static_cast<std::size_t>(i)].real();
    return coefficients;
}
