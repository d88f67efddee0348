#pragma once
// Generation of minimum-phase band-limited impulses and steps (minBLEPs): a
// Blackman-windowed sinc with zeroCrossings zero crossings on each side,
// sampled oversampling times per output sample, turned minimum-phase by the
// real-cepstrum method so that all of its energy follows the discontinuity
// instead of preceding it. Integrated, it is a unit step that ends at
// exactly 1.0.
//
// Runs at start-up or at build time; it allocates and is not for the audio
// thread.

#include <vector>

/// How many times longer than the sequence the cepstrum's transform is
/// taken. A transform of the sequence's own length wraps the cepstrum
/// around, which leaves the stop band of the step only 48-66 dB down; 16
/// times longer the wrapped part is negligible and the step rejects what
/// would alias about 30 dB better.
inline constexpr int kCepstrumPadding = 16;

/// 2 * zeroCrossings * oversampling + 1 values.
std::vector<double> GenerateBandLimitedTable(int zeroCrossings, int oversampling, bool integrate,
                                             int cepstrumPadding = kCepstrumPadding);

/// The Blackman-windowed sinc the generation starts from.
std::vector<double> WindowedSinc(int zeroCrossings, int oversampling);

/// The minimum-phase counterpart of a real sequence (same length), by
/// folding its real cepstrum. The transforms run on the sequence followed by
/// zeros, a power of two at least cepstrumPadding times its span (length
/// less one); a padding of 1 or less uses the sequence's own length.
std::vector<double> MinimumPhase(const std::vector<double>& values, int cepstrumPadding = kCepstrumPadding);

/// Running sum, divided by its last value so that it ends at exactly 1.0.
/// A sum that ends at 0 is left unscaled.
std::vector<double> IntegrateToUnit(const std::vector<double>& values);
