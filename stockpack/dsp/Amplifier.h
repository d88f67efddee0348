#pragma once
// The amplifier law of the stock synthesizers: an envelope value e in 0 .. 1
// becomes the gain 2^e - 1, which is 0 at e = 0 and 1 at e = 1 and bends the
// envelope's level towards the ear's loudness.

/// 2^e - 1.
double AmplifierGain(double envelope) noexcept;

/// samples[i] *= 2^envelope[i] - 1, in place.
void ApplyAmplifier(const double* envelope, double* samples, int frames) noexcept;
/// Two channels with one envelope.
void ApplyAmplifier(const double* envelope, double* left, double* right, int frames) noexcept;
/// samples[i] *= gains[i], the gains as AmplifierGains writes them.
void ApplyGains(const double* gains, double* samples, int frames) noexcept;
/// Writes the gains of an envelope: gains[i] = 2^envelope[i] - 1 (may be
/// the same array).
void AmplifierGains(const double* envelope, double* gains, int frames) noexcept;
