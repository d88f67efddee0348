#pragma once
// The WAV conversions and the canonical 44-byte header that both writers use.

#include <cstdint>

enum class WavSampleFormat { Pcm16, Float32 };

constexpr int kWavHeaderBytes = 44;

/// 1 and above give 32767, -1 and below -32768; inside, x * 32767 for
/// positive and x * 32768 for negative values, truncated toward zero.
inline std::int16_t ToPcm16(double x) noexcept
{
    if (x >= 1.0)
        return 32767;
    if (x <= -1.0)
        return -32768;
    if (x >= 0.0)
        return static_cast<std::int16_t>(x * 32767.0);
    if (x > -1.0)
        return static_cast<std::int16_t>(x * 32768.0);
    return 0;   // NaN
}

/// 32767 reads as exactly 1.0 and -32768 as exactly -1.0; computed in single
/// precision and widened.
inline double FromPcm16(std::int16_t s) noexcept
{
    if (s >= 0)
        return static_cast<double>(static_cast<float>(s) / 32767.0f);
    return static_cast<double>(static_cast<float>(s) * (1.0f / 32768.0f));
}

/// The header for frames frames of the format.
void BuildWavHeader(unsigned char header[kWavHeaderBytes], WavSampleFormat format, int channels, int sampleRate,
                    std::uint32_t frames);
