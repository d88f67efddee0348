#include "tests/stockpack/dsp/OscillatorSpectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "stockpack/dsp/Fft.h"

namespace spectrum {

namespace {

// 7-term Blackman-Harris (minimum sidelobe) coefficients.
constexpr double kWindow[7] = {0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
                               0.01081174209837, 0.00077658482522, 0.00001388721735};
// Bins either side of a component that belong to it: the main lobe is 7
// bins wide on each side, one more keeps the rounding of its centre out.
constexpr int kLobeBins = 8;
constexpr double kLowHz = 20.0;
constexpr double kHighHz = 20000.0;

double WindowAt(std::size_t i, std::size_t length)
{
    const double phase = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(length);
    double w = 0.0;
    for (int k = 0; k < 7; ++k)
        w += (k % 2 == 0 ? 1.0 : -1.0) * kWindow[k] * std::cos(k * phase);
    return w;
}

} // namespace

double MidiHz(int note)
{
    return 440.0 * std::exp2((note - 69) / 12.0);
}

ToneFigures MeasureTone(const double* x, std::size_t length, double f0, double sampleRate)
{
    std::vector<std::complex<double>> bins(length);
    double windowSum = 0.0, windowSquares = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double w = WindowAt(i, length);
        bins[i] = x[i] * w;
        windowSum += w;
        windowSquares += w * w;
    }
    CFft fft(static_cast<int>(length));
    fft.Forward(bins.data());

    const double binHz = sampleRate / static_cast<double>(length);
    const std::size_t half = length / 2;
    std::vector<double> power(half + 1);
    for (std::size_t k = 0; k <= half; ++k)
        power[k] = std::norm(bins[k]);

    // Which bins lie within a lobe of a harmonic.
    std::vector<bool> harmonic(half + 1, false);
    for (int m = 1; m * f0 < sampleRate / 2.0 + kLobeBins * binHz; ++m) {
        const long centre = std::lround(m * f0 / binHz);
        for (long k = centre - kLobeBins; k <= centre + kLobeBins; ++k)
            if (k >= 0 && k <= static_cast<long>(half))
                harmonic[static_cast<std::size_t>(k)] = true;
    }

    ToneFigures figures;
    const auto low = static_cast<std::size_t>(std::ceil(kLowHz / binHz));
    const auto high = std::min(half, static_cast<std::size_t>(std::floor(kHighHz / binHz)));
    double harmonicEnergy = 0.0, otherEnergy = 0.0, worstOther = 0.0;
    for (std::size_t k = low; k <= high; ++k) {
        if (harmonic[k]) {
            harmonicEnergy += power[k];
        } else {
            otherEnergy += power[k];
            worstOther = std::max(worstOther, power[k]);
        }
    }

    // The fundamental: all of its lobe's energy (Parseval), and the lobe's
    // centre of power, which the window's symmetry puts on the frequency.
    const long centre = std::lround(f0 / binHz);
    double lobeEnergy = 0.0, lobeMoment = 0.0, lobePeak = 0.0;
    for (long k = std::max(1L, centre - kLobeBins); k <= centre + kLobeBins; ++k) {
        const double p = power[static_cast<std::size_t>(k)];
        lobeEnergy += p;
        lobeMoment += p * static_cast<double>(k);
        lobePeak = std::max(lobePeak, p);
    }
    // A sinusoid of amplitude A puts N A^2 / 2 * sum(w^2) into its two
    // lobes together, half of it into the positive one.
    figures.fundamental = std::sqrt(4.0 * lobeEnergy / (static_cast<double>(length) * windowSquares));
    figures.fundamentalHz = lobeEnergy > 0.0 ? lobeMoment / lobeEnergy * binHz : 0.0;
    figures.dc = bins[0].real() / windowSum;
    figures.aliasRatioDb = 10.0 * std::log10(std::max(otherEnergy, 1e-300) / harmonicEnergy);
    figures.worstAliasDb = 10.0 * std::log10(std::max(worstOther, 1e-300) / lobePeak);
    return figures;
}

} // namespace spectrum
