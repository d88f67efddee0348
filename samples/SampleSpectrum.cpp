#include "samples/SampleSpectrum.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "samples/MonoSample.h"

std::vector<double> ResampleLinear(const CMonoSample& sample, int points)
{
    std::vector<double> out(static_cast<std::size_t>(points), 0.0);
    const int count = sample.GetCount();
    const double* values = sample.GetSamples();
    if (count == 0 || points == 0)
        return out;
    if (count == 1 || points == 1) {
        for (double& value : out)
            value = values[0];
        return out;
    }
    const double step = static_cast<double>(count - 1) / (points - 1);
    for (int k = 0; k < points; ++k) {
        const double position = k * step;
        const int left = std::min(static_cast<int>(position), count - 2);
        const double fraction = position - left;
        out[static_cast<std::size_t>(k)] = values[left] + (values[left + 1] - values[left]) * fraction;
    }
    return out;
}

void TransformFFT(std::vector<std::complex<double>>& values)
{
    const std::size_t size = values.size();
    // Bit-reversed order first, so that the butterflies work in place.
    for (std::size_t i = 1, j = 0; i < size; ++i) {
        std::size_t bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (std::size_t length = 2; length <= size; length <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
        const std::complex<double> turn(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < size; start += length) {
            std::complex<double> twiddle(1.0, 0.0);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = values[start + k];
                const std::complex<double> odd = values[start + k + length / 2] * twiddle;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                twiddle *= turn;
            }
        }
    }
}

std::array<double, kSpectrumPoints> SampleSpectrum(const CMonoSample& sample)
{
    const std::vector<double> points = ResampleLinear(sample, kSpectrumPoints);
    std::vector<std::complex<double>> values(points.begin(), points.end());
    TransformFFT(values);
    std::array<double, kSpectrumPoints> magnitudes{};
    for (int bin = 0; bin < kSpectrumPoints; ++bin)
        magnitudes[static_cast<std::size_t>(bin)] = std::abs(values[static_cast<std::size_t>(bin)]);
    return magnitudes;
}
