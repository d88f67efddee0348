#pragma once
// The stock effects' one-pole glide: a value moves toward its target by
// 0.0004 of the remaining distance plus 0.1 per sample, and lands on the
// target exactly instead of creeping toward it forever. The 0.1 makes the
// last part of the way linear, so a glide from 0 to 1 lands after a known
// number of samples (5994) however close the target is.

inline constexpr double kGlideRate = 0.0004;
inline constexpr double kGlideBias = 0.1;

/// One sample of glide; returns the new value. Audio thread safe.
inline double GlideToward(double current, double target) noexcept
{
    if (current < target) {
        const double next = current + ((target - current) + kGlideBias) * kGlideRate;
        return next < target ? next : target;
    }
    if (current > target) {
        const double next = current - ((current - target) + kGlideBias) * kGlideRate;
        return next > target ? next : target;
    }
    return current;
}
