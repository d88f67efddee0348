#pragma once
// The sample-buffer helpers of the stock machines: copy, add and scale. Each
// has a plain loop and an SSE2 loop that give the same results; the library
// chooses by the SSE2 bit (value 4) of the processor features the host
// reported at start. Audio thread safe: nothing allocates or locks.

#include <cstdint>

enum class BufferPath { Plain, Sse2 };

inline constexpr std::int32_t kSse2FeatureBit = 0x4;

/// The path the library's feature bits choose.
BufferPath CurrentBufferPath();

void CopySamples(double* destination, const double* source, int frames, BufferPath path) noexcept;
void AddSamples(double* destination, const double* source, int frames, BufferPath path) noexcept;
/// destination += source * gain.
void AddScaledSamples(double* destination, const double* source, double gain, int frames, BufferPath path) noexcept;
void ScaleSamples(double* samples, double gain, int frames, BufferPath path) noexcept;
void ClearSamples(double* samples, int frames) noexcept;
