#include "stockpack/redoruviz/RedoRuvizResponse.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "stockpack/dsp/Fft.h"

namespace redoruviz {

std::vector<double> ResampleDesign(const std::vector<double>& design)
{
    std::vector<double> points(kPlotPoints, 0.0);
    if (design.empty())
        return points;
    const double last = static_cast<double>(design.size() - 1);
    for (int i = 0; i < kPlotPoints; ++i) {
        const double position = last * i / (kPlotPoints - 1);
        const std::size_t i0 = static_cast<std::size_t>(position);
        const std::size_t i1 = std::min(i0 + 1, design.size() - 1);
        const double f = position - static_cast<double>(i0);
        points[static_cast<std::size_t>(i)] = design[i0] * (1.0 - f) + design[i1] * f;
    }
    return points;
}

std::vector<double> ResponseMagnitudes(const std::vector<double>& design)
{
    const std::vector<double> points = ResampleDesign(design);
    std::vector<std::complex<double>> bins(points.begin(), points.end());
    CFft(kPlotPoints).Forward(bins.data());
    std::vector<double> magnitudes(kPlotPoints / 2 + 1);
    const double dc = std::abs(bins[0]);
    for (std::size_t k = 0; k < magnitudes.size(); ++k)
        magnitudes[k] = dc > 0.0 ? std::abs(bins[k]) / dc : 0.0;
    return magnitudes;
}

double MagnitudeDb(double magnitude)
{
    return magnitude > 0.0 ? std::max(kPlotFloorDb, 20.0 * std::log10(magnitude)) : kPlotFloorDb;
}

} // namespace redoruviz
