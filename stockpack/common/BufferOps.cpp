#include "stockpack/common/BufferOps.h"

#include <cstring>

#include "stockpack/common/PlugContext.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

BufferPath CurrentBufferPath()
{
    const PlugContext* context = GetPlugContext();
    return context != nullptr && (context->cpuFeatures & kSse2FeatureBit) != 0 ? BufferPath::Sse2
                                                                              : BufferPath::Plain;
}

void CopySamples(double* destination, const double* source, int frames, BufferPath path) noexcept
{
#if defined(__SSE2__)
    if (path == BufferPath::Sse2) {
        int i = 0;
        for (; i + 2 <= frames; i += 2)
            _mm_storeu_pd(destination + i, _mm_loadu_pd(source + i));
        for (; i < frames; ++i)
            destination[i] = source[i];
        return;
    }
#endif
    for (int i = 0; i < frames; ++i)
        destination[i] = source[i];
}

void AddSamples(double* destination, const double* source, int frames, BufferPath path) noexcept
{
#if defined(__SSE2__)
    if (path == BufferPath::Sse2) {
        int i = 0;
        for (; i + 2 <= frames; i += 2)
            _mm_storeu_pd(destination + i, _mm_add_pd(_mm_loadu_pd(destination + i), _mm_loadu_pd(source + i)));
        for (; i < frames; ++i)
            destination[i] += source[i];
        return;
    }
#endif
    for (int i = 0; i < frames; ++i)
        destination[i] += source[i];
}

void AddScaledSamples(double* destination, const double* source, double gain, int frames, BufferPath path) noexcept
{
#if defined(__SSE2__)
    if (path == BufferPath::Sse2) {
        const __m128d g = _mm_set1_pd(gain);
        int i = 0;
        for (; i + 2 <= frames; i += 2) {
            const __m128d scaled = _mm_mul_pd(_mm_loadu_pd(source + i), g);
            _mm_storeu_pd(destination + i, _mm_add_pd(_mm_loadu_pd(destination + i), scaled));
        }
        for (; i < frames; ++i)
            destination[i] += source[i] * gain;
        return;
    }
#endif
    for (int i = 0; i < frames; ++i)
        destination[i] += source[i] * gain;
}

void ScaleSamples(double* samples, double gain, int frames, BufferPath path) noexcept
{
#if defined(__SSE2__)
    if (path == BufferPath::Sse2) {
        const __m128d g = _mm_set1_pd(gain);
        int i = 0;
        for (; i + 2 <= frames; i += 2)
            _mm_storeu_pd(samples + i, _mm_mul_pd(_mm_loadu_pd(samples + i), g));
        for (; i < frames; ++i)
            samples[i] *= gain;
        return;
    }
#endif
    for (int i = 0; i < frames; ++i)
        samples[i] *= gain;
}

void ClearSamples(double* samples, int frames) noexcept
{
    if (frames > 0)
        std::memset(samples, 0, sizeof(double) * static_cast<std::size_t>(frames));
}
