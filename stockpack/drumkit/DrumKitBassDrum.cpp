#include "stockpack/drumkit/DrumKitBassDrum.h"

#include <algorithm>
#include <cmath>

#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/Amplifier.h"
#include "stockpack/dsp/Pitch.h"

using namespace drumkit;

namespace {

/// 440 * 2^(1.8625 - 5) Hz, about 50 Hz: where the sweep comes to rest.
constexpr double kBasePitchOctaves = 1.8624964762500653;
constexpr double kTriangleSharePerOctave = 0.15;
constexpr double kBodyLimit = 0.9;
constexpr double kClickImpulseGain = 500.0;
constexpr double kClickNoiseGain = 0.4;

// Tuned by ear. The pitch falls fast and settles, the body rings on
// exponentially; the click is a short thump-and-tick: a low-passed impulse
// through a band round 1.5 kHz, with noise from the same region.
constexpr double kPitchDecayCurve = -5.0;
constexpr double kBodyDecayCurve = -3.0;
constexpr double kClickDecayCurve = -4.0;
constexpr double kClickLowPassOctaves = 8.184425;    // 4 kHz
constexpr double kClickBandOctaves = 6.7;            // about 1.43 kHz
constexpr double kClickBandResonance = 6.0;
constexpr double kClickNoiseOctaves = 7.184425;      // 2 kHz, band-pass
constexpr double kClickNoiseResonance = 3.0;
/// Brings the filtered unit impulse, times 500, to a click peaking near
/// 0.3 beside a body of 0.9.
constexpr double kClickFilterGain = 0.006;

} // namespace

CBassDrum::CBassDrum(int sampleRate, int blockSize) : CDrumKitVoice(sampleRate, blockSize)
{
    GlideGains();
    // Built first: that fills the library's sine table too.
    const WaveTables& tables = SharedWaveTables();
    body.SetTables(SineTable(), tables.Triangle());
    pitchEnvelope.SetAttack(0.0);
    pitchEnvelope.SetDecayCurve(kPitchDecayCurve);
    bodyEnvelope.SetDecayCurve(kBodyDecayCurve);
    clickEnvelope.SetAttack(0.0);
    clickEnvelope.SetDecayCurve(kClickDecayCurve);
    clickLowPass.SetMode(FilterMode::LowPass);
    clickLowPass.SetCutoff(kClickLowPassOctaves);
    clickLowPass.SetOutputGain(kClickFilterGain);
    clickBandPass.SetMode(FilterMode::BandPass);
    clickBandPass.SetCutoff(kClickBandOctaves);
    clickBandPass.SetResonance(kClickBandResonance);
    clickNoiseFilter.SetMode(FilterMode::BandPass);
    clickNoiseFilter.SetCutoff(kClickNoiseOctaves);
    clickNoiseFilter.SetResonance(kClickNoiseResonance);
    pitchEnvelope.RememberDecays(kRememberedDecay, false);
    bodyEnvelope.RememberDecays(kRememberedDecay, true);
    clickEnvelope.RememberDecays(kRememberedDecay, true);
    SetSampleRate(sampleRate);
}

void CBassDrum::SetSampleRate(int rate)
{
    CDrumKitVoice::SetSampleRate(rate);
    body.SetSampleRate(rate);
    for (ZazudEnvelope* e : {&pitchEnvelope, &bodyEnvelope, &clickEnvelope})
        e->SetSampleRate(rate);
    for (CBiquadFilter* f : {&clickLowPass, &clickBandPass, &clickNoiseFilter})
        f->SetSampleRate(rate);
}

void CBassDrum::ApplyParameter(int index, double v) noexcept
{
    switch (index) {
    case kBdTune:
        // The sweep starts at 108v + 142 Hz.
        pitchDepth = HzToOctaves(108.0 * v + 142.0) - kBasePitchOctaves;
        bodyEnvelope.SetHold(0.05 * v);
        break;
    case kBdAttack:
        bodyEnvelope.SetAttack(0.019 * v + 0.001);
        break;
    case kBdDecay:
        pitchEnvelope.SetDecay(0.4 * v + 0.1);
        bodyEnvelope.SetDecay(0.4 * v + 0.1);
        clickEnvelope.SetDecay(0.1 * v);
        break;
    default:
        break;
    }
}

void CBassDrum::Trigger() noexcept
{
    impulsePending = true;
    pitchEnvelope.Trigger();
    bodyEnvelope.Trigger();
    clickEnvelope.Trigger();
}

bool CBassDrum::EnvelopesIdle() const noexcept
{
    return bodyEnvelope.IsIdle() && clickEnvelope.IsIdle();
}

void CBassDrum::RenderSound(double* out, const double* noise, int frames) noexcept
{
    double* pitch = Work(0);
    double* share = Work(1);
    pitchEnvelope.Render(pitch, frames);
    for (int i = 0; i < frames; ++i) {
        pitch[i] = kBasePitchOctaves + pitchDepth * pitch[i];
        share[i] = kTriangleSharePerOctave * pitch[i];
    }
    body.Render(out, pitch, share, frames);
    double* level = Work(2);
    double* gains = Work(6);
    bodyEnvelope.Render(level, frames, gains);
    ApplyGains(gains, out, frames);
    for (int i = 0; i < frames; ++i)
        out[i] = std::clamp(out[i], -kBodyLimit, kBodyLimit);
    RenderClick(out, noise, frames);
}

void CBassDrum::RenderClick(double* out, const double* noise, int frames) noexcept
{
    double* click = Work(3);
    double* hiss = Work(4);
    double* level = Work(5);
    double* gains = Work(6);
    for (int i = 0; i < frames; ++i)
        click[i] = 0.0;
    if (impulsePending) {
        click[0] = 1.0;
        impulsePending = false;
    }
    CBiquadFilter::ProcessPair(clickBandPass, click, click, clickLowPass, click, click, frames);
    clickNoiseFilter.Process(noise, hiss, frames);
    clickEnvelope.Render(level, frames, gains);
    for (int i = 0; i < frames; ++i) {
        const double sum = click[i] * kClickImpulseGain + hiss[i] * kClickNoiseGain;
        out[i] += sum * gains[i];
    }
}
