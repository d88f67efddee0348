#include "stockpack/drumkit/DrumKitTomDrum.h"

#include <algorithm>
#include <cmath>

#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/Amplifier.h"
#include "stockpack/dsp/Pitch.h"

using namespace drumkit;

namespace {

struct TomFrequencies {
    double tone1Hz, tone2Hz, skinHz;   // at tuning t = 1
};

constexpr TomFrequencies kTomFrequencies[3] = {
    {45.45, 30.3, 83.33},
    {55.56, 37.03, 100.0},
    {66.67, 45.45, 121.95},
};

// Tuned by ear: the hit starts a third or so sharp and settles within a
// tenth of a second, the lower tone sits under the first at half level and
// the skin noise gives the stick's attack.
constexpr double kPitchSweepOctaves = 0.35;
constexpr double kPitchDecaySeconds = 0.1;
constexpr double kPitchDecayCurve = -3.0;
constexpr double kBodyDecayCurve = -3.0;
constexpr double kSecondToneGain = 0.5;
constexpr double kBodyGain = 0.7;
constexpr double kTriangleShare = 0.15;
constexpr double kSkinResonance = 9.0;
constexpr double kSkinNoiseGain = 1.0;

} // namespace

CTomDrum::CTomDrum(int tom, int sampleRate, int blockSize)
    : CDrumKitVoice(sampleRate, blockSize), tom(std::clamp(tom, 0, 2))
{
    // Built first: that fills the library's sine table too.
    const WaveTables& tables = SharedWaveTables();
    for (CSineTriangleOscillator* o : {&tone1, &tone2})
        o->SetTables(SineTable(), tables.Triangle());
    bodyEnvelope.SetAttack(0.0);
    bodyEnvelope.SetDecayCurve(kBodyDecayCurve);
    pitchEnvelope.SetAttack(0.0);
    pitchEnvelope.SetDecay(kPitchDecaySeconds);
    pitchEnvelope.SetDecayCurve(kPitchDecayCurve);
    skin.SetMode(FilterMode::BandPass);
    skin.SetResonance(kSkinResonance);
    bodyEnvelope.RememberDecays(kRememberedDecay, true);
    pitchEnvelope.RememberDecays(kRememberedDecay, true);
    SetSampleRate(sampleRate);
    Tune(1.0);
}

void CTomDrum::SetSampleRate(int rate)
{
    CDrumKitVoice::SetSampleRate(rate);
    tone1.SetSampleRate(rate);
    tone2.SetSampleRate(rate);
    skin.SetSampleRate(rate);
    bodyEnvelope.SetSampleRate(rate);
    pitchEnvelope.SetSampleRate(rate);
}

void CTomDrum::Tune(double v) noexcept
{
    const double t = 1.0 + v;
    const TomFrequencies& f = kTomFrequencies[tom];
    pitch1 = HzToOctaves(f.tone1Hz * t);
    pitch2 = HzToOctaves(f.tone2Hz * t);
    skin.SetCutoff(HzToOctaves(f.skinHz * t));
}

void CTomDrum::ApplyParameter(int index, double v) noexcept
{
    const int tune = kLtTune + kTomStride * tom;
    const int decay = kLtDecay + kTomStride * tom;
    if (index == tune)
        Tune(v);
    else if (index == decay)
        bodyEnvelope.SetDecay(0.17 * v + 0.23);
}

void CTomDrum::Trigger() noexcept
{
    bodyEnvelope.Trigger();
    pitchEnvelope.Trigger();
}

bool CTomDrum::EnvelopesIdle() const noexcept
{
    return bodyEnvelope.IsIdle() && pitchEnvelope.IsIdle();
}

void CTomDrum::RenderSound(double* out, const double* noise, int frames) noexcept
{
    double* sweep = Work(0);
    double* pitch = Work(1);
    double* share = Work(2);
    double* second = Work(3);
    double* level = Work(4);
    double* stick = Work(5);
    double* sweepGains = Work(6);
    double* gains = Work(7);
    pitchEnvelope.Render(sweep, frames, sweepGains);
    for (int i = 0; i < frames; ++i) {
        pitch[i] = pitch1 + kPitchSweepOctaves * sweep[i];
        share[i] = kTriangleShare * sweep[i];
    }
    tone1.Render(out, pitch, share, frames);
    for (int i = 0; i < frames; ++i)
        pitch[i] = pitch2 + kPitchSweepOctaves * sweep[i];
    tone2.Render(second, pitch, share, frames);
    bodyEnvelope.Render(level, frames, gains);
    for (int i = 0; i < frames; ++i)
        out[i] = (out[i] + kSecondToneGain * second[i]) * kBodyGain;
    ApplyGains(gains, out, frames);

    skin.Process(noise, stick, frames);
    ApplyGains(sweepGains, stick, frames);
    for (int i = 0; i < frames; ++i)
        out[i] += kSkinNoiseGain * stick[i];
}
