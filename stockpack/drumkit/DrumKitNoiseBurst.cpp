#include "stockpack/drumkit/DrumKitNoiseBurst.h"

#include "stockpack/dsp/Amplifier.h"

namespace {

void Configure(ZazudEnvelope& envelope, double attackSeconds, double decaySeconds, double decayCurve, int repeats)
{
    envelope.SetAttack(attackSeconds);
    envelope.SetDecay(decaySeconds);
    envelope.SetDecayCurve(decayCurve);
    envelope.SetRepeatCount(repeats);
}

// Tuned by ear: the clap's band is wide enough to sound like hands, the
// rim shot's narrow enough to ring like wood on metal.
// The rim shot's narrow band passes little of the noise: its gain brings
// the hit up to the level of the others.
constexpr double kClapBandResonance = 3.0;
constexpr double kClapBandGain = 1.0;
constexpr double kRimBandResonance = 6.0;
constexpr double kRimBandGain = 3.0;
constexpr double kRimBodyDecayCurve = -2.0;
constexpr double kRimSweepDecayCurve = -3.0;

} // namespace

CNoiseBurst::CNoiseBurst(const Settings& settings, int sampleRate, int blockSize)
    : CDrumKitVoice(sampleRate, blockSize), settings(settings)
{
    lowPass.SetMode(FilterMode::LowPass);
    lowPass.SetFourPole(settings.fourPoleLowPass);
    lowPass.SetCutoff(settings.lowPassOctaves);
    bandPass.SetMode(FilterMode::BandPass);
    bandPass.SetCutoff(settings.bandOctaves);
    bandPass.SetResonance(settings.bandResonance);
    bandPass.SetOutputGain(settings.bandGain);
    const EnvelopeSettings& b = settings.body;
    const EnvelopeSettings& s = settings.sweep;
    Configure(bodyEnvelope, b.attackSeconds, b.decaySeconds, b.decayCurve, b.repeats);
    Configure(sweepEnvelope, s.attackSeconds, s.decaySeconds, s.decayCurve, s.repeats);
    bodyEnvelope.RememberDecays(kRememberedDecay, true);
    sweepEnvelope.RememberDecays(kRememberedDecay, false);
    bandPass.RememberCoefficients(kRememberedDecay / CBiquadFilter::kModulationInterval);
    SetSampleRate(sampleRate);
}

void CNoiseBurst::SetSampleRate(int rate)
{
    CDrumKitVoice::SetSampleRate(rate);
    lowPass.SetSampleRate(rate);
    bandPass.SetSampleRate(rate);
    bodyEnvelope.SetSampleRate(rate);
    sweepEnvelope.SetSampleRate(rate);
}

void CNoiseBurst::Trigger() noexcept
{
    bodyEnvelope.Trigger();
    sweepEnvelope.Trigger();
}

bool CNoiseBurst::EnvelopesIdle() const noexcept
{
    return bodyEnvelope.IsIdle() && sweepEnvelope.IsIdle();
}

void CNoiseBurst::RenderSound(double* out, const double* noise, int frames) noexcept
{
    double* sweep = Work(0);
    double* level = Work(1);
    double* gains = Work(2);
    for (int i = 0; i < frames; ++i)
        out[i] = noise[i] * settings.noiseGain;
    sweepEnvelope.Render(sweep, frames);
    for (int i = 0; i < frames; ++i)
        sweep[i] *= settings.sweepOctaves;
    CBiquadFilter::ProcessPair(lowPass, out, out, bandPass, out, out, frames, nullptr, sweep);
    bodyEnvelope.Render(level, frames, gains);
    ApplyGains(gains, out, frames);
}

CClap::CClap(int sampleRate, int blockSize)
    : CNoiseBurst({16.0, 6.184425, false, 7.0, kClapBandResonance, kClapBandGain, 5.0,
                   {0.02, 0.14, 2.0, 0}, {0.01, 0.03, 2.0, 3}},
                  sampleRate, blockSize)
{
}

CRimShot::CRimShot(int sampleRate, int blockSize)
    : CNoiseBurst({4.0, 8.184425, true, 4.0, kRimBandResonance, kRimBandGain, 2.0,
                   {0.005, 0.054, kRimBodyDecayCurve, 0}, {0.0, 0.06, kRimSweepDecayCurve, 0}},
                  sampleRate, blockSize)
{
}
