#pragma once
// The response plot of RedoRuviz's editor, as numbers: the selected design
// resampled to 256 points (linear interpolation across its length), its
// discrete Fourier transform, and the magnitudes of the bins from DC to
// the middle, relative to DC, with their decibels (20 log10, floored).
// Pure functions; computed on the user-interface thread when the factor
// changes.

#include <vector>

namespace redoruviz {

inline constexpr int kPlotPoints = 256;
inline constexpr double kPlotFloorDb = -100.0;

/// The design at kPlotPoints evenly spaced positions from its first to its
/// last coefficient.
std::vector<double> ResampleDesign(const std::vector<double>& design);
/// |X(k)| / |X(0)| for k = 0 .. kPlotPoints / 2 of the resampled design.
std::vector<double> ResponseMagnitudes(const std::vector<double>& design);
/// 20 log10 of a magnitude, kPlotFloorDb at the least.
double MagnitudeDb(double magnitude);

} // namespace redoruviz
