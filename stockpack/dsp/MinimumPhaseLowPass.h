#pragma once
// The minimum-phase windowed-sinc low-pass for an oversampling factor: a
// Blackman-windowed sinc spanning eight zero crossings either side, made
// minimum-phase through its real cepstrum (the log magnitude folded onto
// positive quefrencies and exponentiated back), so that the filter's energy
// comes first and it adds almost no latency.
//
// Design time only: allocates. Not for the audio thread.

#include <vector>

/// 16 * factor + 1 coefficients of the design for factor (2, 4, ... 32).
std::vector<double> DesignMinimumPhaseLowPass(int factor);
