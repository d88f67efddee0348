#pragma once
// The one rule every machine applies where a parameter value reaches it
// (its SetParameter, which LoadState, control tracks, plug-in hosts and the
// editors all go through): a value is held inside the range the machine
// maps, and a value that is not a number becomes the parameter's default.
// Whatever a machine then computes from its values (delay lengths, table
// indexes, envelope steps) stays inside the ranges it was written for, so a
// damaged project can neither crash a machine nor make it loop without end.

/// value limited to lowest … highest; NaN gives defaultValue, an infinity
/// the nearer end.
constexpr double LimitParameter(double value, double defaultValue, double lowest = 0.0,
                                double highest = 1.0) noexcept
{
    if (value != value)
        return defaultValue;
    if (value < lowest)
        return lowest;
    if (value > highest)
        return highest;
    return value;
}
