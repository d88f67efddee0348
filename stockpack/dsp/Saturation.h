#pragma once
// The saturation stage of the stock synthesizers, sample by sample:
//   SoftClip  x - x^3/3 inside -1 .. 1, +-2/3 beyond (smooth at the limits);
//   Digital   hard clamp to -1 .. 1;
//   Distort   1.5x - 0.5x^3 in single precision, clamped to -1 .. 1 (it
//             folds back beyond |x| = 1 before the clamp, which is its edge);
//   None      unchanged.

#include <cstdint>

enum class SaturationType : std::int32_t { None, SoftClip, Digital, Distort };

double Saturate(SaturationType type, double x) noexcept;
/// In place.
void ProcessSaturation(SaturationType type, double* samples, int frames) noexcept;
