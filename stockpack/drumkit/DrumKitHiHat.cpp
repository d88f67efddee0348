#include "stockpack/drumkit/DrumKitHiHat.h"

#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/dsp/Amplifier.h"

using namespace drumkit;

namespace {

constexpr double kBandOctaves = 9.184425;       // 8 kHz
constexpr double kHighPassOctaves = 8.184425;   // 4 kHz
constexpr double kAttackSeconds = 0.0001;

// Tuned by ear: a little resonance gives the metal its sheen; the closed
// hat's steep curve keeps it a tick even at its longer settings, the open
// hat's gentler one lets it wash.
constexpr double kBandResonance = 3.0;
constexpr double kClosedDecayCurve = -8.0;
constexpr double kOpenDecayCurve = -4.0;

} // namespace

CHiHat::CHiHat(const Settings& settings, int sampleRate, int blockSize)
    : CDrumKitVoice(sampleRate, blockSize), settings(settings)
{
    bandPass.SetMode(FilterMode::BandPass);
    bandPass.SetCutoff(kBandOctaves);
    bandPass.SetResonance(kBandResonance);
    highPass.SetMode(FilterMode::HighPass);
    highPass.SetCutoff(kHighPassOctaves);
    envelope.SetAttack(kAttackSeconds);
    envelope.SetDecayCurve(settings.decayCurve);
    envelope.RememberDecays(kRememberedDecay, true);
    SetSampleRate(sampleRate);
}

void CHiHat::SetSampleRate(int rate)
{
    CDrumKitVoice::SetSampleRate(rate);
    bandPass.SetSampleRate(rate);
    highPass.SetSampleRate(rate);
    envelope.SetSampleRate(rate);
}

void CHiHat::ApplyParameter(int index, double v) noexcept
{
    if (index == settings.decayParameter)
        envelope.SetDecay(settings.decaySecondsPerUnit * v + settings.decayOffsetSeconds);
}

void CHiHat::Trigger() noexcept
{
    envelope.Trigger();
}

bool CHiHat::EnvelopesIdle() const noexcept
{
    return envelope.IsIdle();
}

void CHiHat::RenderSound(double* out, const double* noise, int frames) noexcept
{
    if (settings.highPass)
        CBiquadFilter::ProcessPair(bandPass, noise, out, highPass, out, out, frames);
    else
        bandPass.Process(noise, out, frames);
    double* level = Work(0);
    double* gains = Work(1);
    envelope.Render(level, frames, gains);
    ApplyGains(gains, out, frames);
}

CHiHatClosed::CHiHatClosed(int sampleRate, int blockSize)
    : CHiHat({kChDecay, 1.0, 0.045, kClosedDecayCurve, false}, sampleRate, blockSize)
{
}

CHiHatOpen::CHiHatOpen(int sampleRate, int blockSize)
    : CHiHat({kOhDecay, 0.5, 0.25, kOpenDecayCurve, true}, sampleRate, blockSize)
{
}
