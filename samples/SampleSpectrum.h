#pragma once
// The sample analyzer's spectrum: the whole sample resampled by linear
// interpolation to 256 points, a 256-point complex FFT of those points, and
// the magnitude of each bin. With 256 points over the whole sample, bin k
// holds the content that repeats k times over the sample's length.
//
// Threads: any; allocates, so never the audio thread.

#include <array>
#include <complex>
#include <vector>

class CMonoSample;

constexpr int kSpectrumPoints = 256;

/// `points` values taken by linear interpolation between neighbouring
/// samples, the first at the first sample and the last at the last; an
/// empty sample gives zeros.
std::vector<double> ResampleLinear(const CMonoSample& sample, int points);

/// In-place radix-2 FFT; the size must be a power of two.
void TransformFFT(std::vector<std::complex<double>>& values);

/// The magnitudes of the 256 bins of the resampled sample.
std::array<double, kSpectrumPoints> SampleSpectrum(const CMonoSample& sample);
