#include "stockpack/dsp/BandLimitedStep.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "stockpack/dsp/Fft.h"

namespace {

// Magnitudes below this fraction of the largest are taken at this floor
// before the logarithm: an exact zero would give -infinity, and the depth
// of such a null (far below -200 dB) changes nothing audible.
constexpr double kLogFloorRelative = 1e-10;

} // namespace

std::vector<double> WindowedSinc(int zeroCrossings, int oversampling)
{
    const int intervals = 2 * zeroCrossings * oversampling;
    const int n = intervals + 1;
    std::vector<double> values(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = -zeroCrossings + 2.0 * zeroCrossings * i / intervals;
        const double sinc = t == 0.0 ? 1.0 : std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
        const double phase = 2.0 * std::numbers::pi * i / intervals;
        const double window = 0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2.0 * phase);
        values[static_cast<std::size_t>(i)] = sinc * window;
    }
    return values;
}

std::vector<double> MinimumPhase(const std::vector<double>& values)
{
    const int n = static_cast<int>(values.size());
    if (n == 0)
        return {};
    CFft fft(n);
    std::vector<std::complex<double>> data(values.begin(), values.end());

    fft.Forward(data.data());
    double peak = 0.0;
    for (const auto& x : data)
        peak = std::max(peak, std::abs(x));
    const double floor = peak > 0.0 ? peak * kLogFloorRelative : 1e-300;
    for (auto& x : data)
        x = std::log(std::max(std::abs(x), floor));

    // Real cepstrum, folded: the causal part doubled, the anti-causal part
    // dropped, the zero time (and the middle of an even length) kept.
    fft.Inverse(data.data());
    for (auto& x : data)
        x = x.real();
    const int half = n / 2;
    for (int i = 1; i < n; ++i) {
        auto& x = data[static_cast<std::size_t>(i)];
        if (i < (n + 1) / 2)
            x *= 2.0;
        else if (n % 2 == 0 && i == half)
            continue;
        else
            x = 0.0;
    }

    fft.Forward(data.data());
    for (auto& x : data)
        x = std::exp(x);
    fft.Inverse(data.data());

    std::vector<double> result(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        result[static_cast<std::size_t>(i)] = data[static_cast<std::size_t>(i)].real();
    return result;
}

std::vector<double> IntegrateToUnit(const std::vector<double>& values)
{
    std::vector<double> sum(values.size());
    double running = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        running += values[i];
        sum[i] = running;
    }
    if (sum.empty() || running == 0.0)
        return sum;
    // Dividing (rather than multiplying by the reciprocal) makes the last
    // value exactly 1.0, which the oscillators rely on: a correction that
    // ends anywhere else would leave a tiny step behind every edge.
    for (double& value : sum)
        value /= running;
    return sum;
}

std::vector<double> GenerateBandLimitedTable(int zeroCrossings, int oversampling, bool integrate)
{
    std::vector<double> minimum = MinimumPhase(WindowedSinc(zeroCrossings, oversampling));
    return integrate ? IntegrateToUnit(minimum) : minimum;
}
