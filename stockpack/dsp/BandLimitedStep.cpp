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

/// A power of two at least padding times the sequence's span (its length
/// less one: 16 x 16384 for the step table's 16385 values).
int TransformLength(int n, int padding)
{
    if (padding <= 1)
        return n;
    const long long wanted = static_cast<long long>(std::max(n - 1, 1)) * padding;
    int length = 1;
    while (length < wanted)
        length *= 2;
    return length;
}

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

std::vector<double> MinimumPhase(const std::vector<double>& values, int cepstrumPadding)
{
    const int length = static_cast<int>(values.size());
    if (length == 0)
        return {};
    // The minimum-phase twin of a sequence is as long as the sequence; the
    // zeros after it only give the cepstrum room so that it does not wrap.
    const int n = TransformLength(length, cepstrumPadding);
    CFft fft(n);
    std::vector<std::complex<double>> data(static_cast<std::size_t>(n));
    std::copy(values.begin(), values.end(), data.begin());

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

    std::vector<double> result(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
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

std::vector<double> GenerateBandLimitedTable(int zeroCrossings, int oversampling, bool integrate,
                                             int cepstrumPadding)
{
    std::vector<double> minimum = MinimumPhase(WindowedSinc(zeroCrossings, oversampling), cepstrumPadding);
    return integrate ? IntegrateToUnit(minimum) : minimum;
}
