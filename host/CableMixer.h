#pragma once
// Mixing one cable into an input buffer, with the cable's gain gliding
// towards its volume one step per sample before the sample is used.

#include "framework/AudioBuffer.h"
#include "framework/Connection.h"
#include "framework/Glide.h"

/// The master's glide bias is 0.1 as a single-precision constant widened
/// to double, which decides the exact sample on which the fade-in lands;
/// cables glide with the usual 0.1.
inline constexpr double kMasterGlideBias = static_cast<double>(0.1f);

/// Adds source into destination over the shorter of the two lengths.
/// Stereo to mono averages the channels; mono to stereo feeds both.
void MixCable(CAudioBuffer& destination, const CAudioBuffer& source, CConnection& connection) noexcept;
