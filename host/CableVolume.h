#pragma once
// The cable volume slider's mapping: position 0 .. 1 spans 90 of this
// program's decibels (10 x log10 of the gain), so 1 is unity gain and 0 is
// 10^-9, quiet but never silent.

inline constexpr double kCableRangeDb = 90.0;

/// Gain of a slider position s in [0, 1]: 10^((s - 1) x 90 / 10).
double CableGainFromPosition(double position);
/// Slider position showing a gain: 1 - L / 90 with L = -10 log10(gain)
/// limited to 0 .. 90 (a gain of 0 shows as 0, above 1 as 1).
double CablePositionFromGain(double gain);
