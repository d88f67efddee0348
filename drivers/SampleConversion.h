#pragma once
// The engine's doubles as device samples. Integer full scale is asymmetric:
// values from -1 to 0 scale by the magnitude of the most negative code,
// values from 0 to 1 by the largest positive code, and everything beyond
// +-1 clips, so -1.0 and 1.0 land exactly on the two limits. A NaN (a
// machine gone wrong) plays as silence instead of a full-scale click.
// Real-time safe.

#include <cmath>
#include <cstdint>

namespace sample_conversion {

/// The signed integer code of x for a width whose most negative code is
/// -negativeScale and largest positive code positiveScale.
inline std::int64_t ToSigned(double x, double negativeScale, double positiveScale) noexcept
{
    if (std::isnan(x))
        return 0;
    if (x <= -1.0)
        return static_cast<std::int64_t>(-negativeScale);
    if (x < 0.0)
        return static_cast<std::int64_t>(std::trunc(x * negativeScale));
    if (x < 1.0)
        return static_cast<std::int64_t>(std::trunc(x * positiveScale));
    return static_cast<std::int64_t>(positiveScale);
}

inline std::int16_t ToInt16(double x) noexcept
{
    return static_cast<std::int16_t>(ToSigned(x, 32768.0, 32767.0));
}

/// 8-bit PCM is unsigned: the signed code offset by 128, silence 128.
inline std::uint8_t ToUnsigned8(double x) noexcept
{
    return static_cast<std::uint8_t>(ToSigned(x, 128.0, 127.0) + 128);
}

inline std::int32_t ToInt32(double x) noexcept
{
    return static_cast<std::int32_t>(ToSigned(x, 2147483648.0, 2147483647.0));
}

/// Clipped to +-1 like the integer widths, so that a project sounds the
/// same through every output.
inline float ToFloat32(double x) noexcept
{
    if (std::isnan(x))
        return 0.0f;
    if (x <= -1.0)
        return -1.0f;
    if (x >= 1.0)
        return 1.0f;
    return static_cast<float>(x);
}

} // namespace sample_conversion
