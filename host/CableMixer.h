#pragma once
// Mixing one cable into an input buffer, with the cable's gain gliding
// towards its volume one step per sample before the sample is used.

#include "framework/AudioBuffer.h"
#include "framework/Connection.h"

/// The glide step of a user-changed gain: (distance + 0.1) x 0.0004 towards
/// target, never past it. The cables' 0.1 is in double precision.
inline double GlideTowards(double gain, double target, double offset) noexcept
{
    if (gain == target)
        return gain;
    if (target > gain) {
        const double next = gain + (target - gain + offset) * 0.0004;
        return next < target ? next : target;
    }
    const double next = gain - (gain - target + offset) * 0.0004;
    return next > target ? next : target;
}

inline constexpr double kCableGlideOffset = 0.1;
/// The master's glide uses 0.1 as a single-precision constant widened to
/// double, which decides the exact sample on which the fade-in lands.
inline constexpr double kMasterGlideOffset = static_cast<double>(0.1f);

/// Adds source into destination over the shorter of the two lengths.
/// Stereo to mono averages the channels; mono to stereo feeds both.
void MixCable(CAudioBuffer& destination, const CAudioBuffer& source, CConnection& connection) noexcept;
