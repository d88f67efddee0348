#include "stockpack/dsp/Saturation.h"

namespace {

double SoftClip(double x) noexcept
{
    if (x <= -1.0)
        return -2.0 / 3.0;
    if (x >= 1.0)
        return 2.0 / 3.0;
    return x - x * x * x / 3.0;
}

double Digital(double x) noexcept
{
    if (x < -1.0)
        return -1.0;
    return x > 1.0 ? 1.0 : x;
}

double Distort(double x) noexcept
{
    const float f = static_cast<float>(x);
    const float y = 1.5f * f - 0.5f * f * f * f;
    return Digital(static_cast<double>(y));
}

} // namespace

double Saturate(SaturationType type, double x) noexcept
{
    switch (type) {
    case SaturationType::None:
        return x;
    case SaturationType::SoftClip:
        return SoftClip(x);
    case SaturationType::Digital:
        return Digital(x);
    case SaturationType::Distort:
        return Distort(x);
    }
    return x;
}

void ProcessSaturation(SaturationType type, double* samples, int frames) noexcept
{
    switch (type) {
    case SaturationType::None:
        return;
    case SaturationType::SoftClip:
        for (int i = 0; i < frames; ++i)
            samples[i] = SoftClip(samples[i]);
        return;
    case SaturationType::Digital:
        for (int i = 0; i < frames; ++i)
            samples[i] = Digital(samples[i]);
        return;
    case SaturationType::Distort:
        for (int i = 0; i < frames; ++i)
            samples[i] = Distort(samples[i]);
        return;
    }
}
