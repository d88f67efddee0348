#include "stockpack/dsp/Fft.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

CFft::CFft(int length) : length(length > 0 ? length : 1)
{
    if (IsPowerOfTwo(this->length)) {
        twiddles = Twiddles(this->length);
        return;
    }
    const int n = this->length;
    paddedLength = 1;
    while (paddedLength < 2 * n - 1)
        paddedLength *= 2;
    twiddles = Twiddles(paddedLength);

    // n^2 grows past what a double angle keeps exact, so the exponent is
    // reduced modulo 2N in integers first: e^(-pi i m / N) has period 2N.
    chirp.resize(static_cast<std::size_t>(n));
    const std::int64_t period = 2 * static_cast<std::int64_t>(n);
    for (int i = 0; i < n; ++i) {
        const std::int64_t m = (static_cast<std::int64_t>(i) * i) % period;
        const double angle = -std::numbers::pi * static_cast<double>(m) / n;
        chirp[static_cast<std::size_t>(i)] = Complex(std::cos(angle), std::sin(angle));
    }
    chirpSpectrum.assign(static_cast<std::size_t>(paddedLength), Complex());
    chirpSpectrum[0] = std::conj(chirp[0]);
    for (int i = 1; i < n; ++i) {
        chirpSpectrum[static_cast<std::size_t>(i)] = std::conj(chirp[static_cast<std::size_t>(i)]);
        chirpSpectrum[static_cast<std::size_t>(paddedLength - i)] = std::conj(chirp[static_cast<std::size_t>(i)]);
    }
    Radix2(chirpSpectrum.data(), paddedLength, twiddles);
    work.resize(static_cast<std::size_t>(paddedLength));
}

std::vector<CFft::Complex> CFft::Twiddles(int n)
{
    std::vector<Complex> result(static_cast<std::size_t>(n / 2 > 0 ? n / 2 : 1));
    for (int k = 0; k < n / 2; ++k) {
        const double angle = -2.0 * std::numbers::pi * k / n;
        result[static_cast<std::size_t>(k)] = Complex(std::cos(angle), std::sin(angle));
    }
    return result;
}

void CFft::Radix2(Complex* data, int n, const std::vector<Complex>& twiddles)
{
    // Bit-reversed order first, then butterflies of growing span.
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (int span = 2; span <= n; span *= 2) {
        const int half = span / 2;
        const int stride = n / span;
        for (int start = 0; start < n; start += span) {
            for (int k = 0; k < half; ++k) {
                const Complex t = twiddles[static_cast<std::size_t>(k * stride)] * data[start + k + half];
                data[start + k + half] = data[start + k] - t;
                data[start + k] += t;
            }
        }
    }
}

void CFft::Transform(Complex* data)
{
    if (paddedLength == 0) {
        Radix2(data, length, twiddles);
        return;
    }
    // X[k] = chirp[k] * sum (x[n] chirp[n]) conj(chirp[k - n]).
    const auto n = static_cast<std::size_t>(length);
    for (std::size_t i = 0; i < n; ++i)
        work[i] = data[i] * chirp[i];
    for (std::size_t i = n; i < work.size(); ++i)
        work[i] = Complex();
    Radix2(work.data(), paddedLength, twiddles);
    for (std::size_t i = 0; i < work.size(); ++i)
        work[i] = std::conj(work[i] * chirpSpectrum[i]);
    // Inverse of the padded transform through the conjugate trick.
    Radix2(work.data(), paddedLength, twiddles);
    const double scale = 1.0 / paddedLength;
    for (std::size_t i = 0; i < n; ++i)
        data[i] = std::conj(work[i]) * scale * chirp[i];
}

void CFft::Forward(Complex* data)
{
    Transform(data);
}

void CFft::Inverse(Complex* data)
{
    const auto n = static_cast<std::size_t>(length);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = std::conj(data[i]);
    Transform(data);
    const double scale = 1.0 / length;
    for (std::size_t i = 0; i < n; ++i)
        data[i] = std::conj(data[i]) * scale;
}
