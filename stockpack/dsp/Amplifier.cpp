#include "stockpack/dsp/Amplifier.h"

#include <cmath>

double AmplifierGain(double envelope) noexcept
{
    return std::exp2(envelope) - 1.0;
}

void AmplifierGains(const double* envelope, double* gains, int frames) noexcept
{
    // Envelopes hold still for most of a note (sustain) and exp2 is the
    // costly part: compute it again only when the level moves.
    double lastLevel = 0.0;
    double lastGain = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double e = envelope[i];
        if (e != lastLevel) {
            lastLevel = e;
            lastGain = AmplifierGain(e);
        }
        gains[i] = lastGain;
    }
}

void ApplyGains(const double* gains, double* samples, int frames) noexcept
{
    for (int i = 0; i < frames; ++i)
        samples[i] *= gains[i];
}

void ApplyAmplifier(const double* envelope, double* samples, int frames) noexcept
{
    double lastLevel = 0.0;
    double lastGain = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double e = envelope[i];
        if (e != lastLevel) {
            lastLevel = e;
            lastGain = AmplifierGain(e);
        }
        samples[i] *= lastGain;
    }
}

void ApplyAmplifier(const double* envelope, double* left, double* right, int frames) noexcept
{
    double lastLevel = 0.0;
    double lastGain = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double e = envelope[i];
        if (e != lastLevel) {
            lastLevel = e;
            lastGain = AmplifierGain(e);
        }
        left[i] *= lastGain;
        right[i] *= lastGain;
    }
}
