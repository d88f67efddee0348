#pragma once
// The one-pole glide of user-changed gains and settings, in the host (cable
// and master volumes) and the stock machines alike: a value moves toward its
// target by 0.0004 of the remaining distance plus a bias per sample, and
// lands on the target exactly instead of creeping toward it forever. The
// bias makes the last part of the way linear, so a glide from 0 to 1 lands
// after a known number of samples (5994 with the usual 0.1) however close
// the target is.

inline constexpr double kGlideRate = 0.0004;
inline constexpr double kGlideBias = 0.1;

/// One sample of glide; returns the new value, never past target. Audio
/// thread safe.
inline double GlideToward(double current, double target, double bias = kGlideBias) noexcept
{
    if (current < target) {
        const double next = current + ((target - current) + bias) * kGlideRate;
        return next < target ? next : target;
    }
    if (current > target) {
        const double next = current - ((current - target) + bias) * kGlideRate;
        return next > target ? next : target;
    }
    return current;
}
