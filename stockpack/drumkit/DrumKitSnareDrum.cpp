#include "stockpack/drumkit/DrumKitSnareDrum.h"

#include <algorithm>
#include <cmath>

#include "framework/Glide.h"
#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/Amplifier.h"
#include "stockpack/dsp/Pitch.h"

using namespace drumkit;

namespace {

constexpr double kPitchDropOctaves = 0.12;
constexpr double kTriangleShare = 0.3;
constexpr double kToneLimit = 0.8;
constexpr double kSecondToneGain = 0.4;
constexpr double kSecondToneRatio = 330.0 / 180.0;
constexpr double kNoiseBGain = 1.2;
constexpr double kNoiseAOffset = 0.1;

// Tuned by ear: a quick pitch drop, the second tone dying sooner than the
// first, a bright rattle (A, high-passed) and a body of noise round 5 kHz
// (B) that rings a little longer.
constexpr double kPitchDecaySeconds = 0.03;
constexpr double kPitchDecayCurve = -3.0;
constexpr double kToneDecayCurve = -3.0;
constexpr double kSecondToneDecayShare = 0.6;
constexpr double kNoiseAHighPassOctaves = 7.184425;   // 2 kHz
constexpr double kNoiseADecaySeconds = 0.12;
constexpr double kNoiseBBandOctaves = 8.5;            // about 5.0 kHz
constexpr double kNoiseBResonance = 2.0;
constexpr double kNoiseBDecaySeconds = 0.22;
constexpr double kNoiseDecayCurve = -4.0;

} // namespace

CSnareDrum::CSnareDrum(int sampleRate, int blockSize) : CDrumKitVoice(sampleRate, blockSize)
{
    GlideGains();
    // Built first: that fills the library's sine table too.
    const WaveTables& tables = SharedWaveTables();
    for (CSineTriangleOscillator* o : {&tone1, &tone2})
        o->SetTables(SineTable(), tables.Triangle());
    for (ZazudEnvelope* e : {&pitchEnvelope, &toneEnvelope1, &toneEnvelope2, &noiseEnvelopeA, &noiseEnvelopeB})
        e->SetAttack(0.0);
    pitchEnvelope.SetDecay(kPitchDecaySeconds);
    pitchEnvelope.SetDecayCurve(kPitchDecayCurve);
    toneEnvelope1.SetDecayCurve(kToneDecayCurve);
    toneEnvelope2.SetDecayCurve(kToneDecayCurve);
    noiseEnvelopeA.SetDecay(kNoiseADecaySeconds);
    noiseEnvelopeA.SetDecayCurve(kNoiseDecayCurve);
    noiseEnvelopeB.SetDecay(kNoiseBDecaySeconds);
    noiseEnvelopeB.SetDecayCurve(kNoiseDecayCurve);
    noiseFilterA.SetMode(FilterMode::HighPass);
    noiseFilterA.SetCutoff(kNoiseAHighPassOctaves);
    noiseFilterB.SetMode(FilterMode::BandPass);
    noiseFilterB.SetCutoff(kNoiseBBandOctaves);
    noiseFilterB.SetResonance(kNoiseBResonance);
    pitchEnvelope.RememberDecays(kRememberedDecay, false);
    for (ZazudEnvelope* e : {&toneEnvelope1, &toneEnvelope2, &noiseEnvelopeA, &noiseEnvelopeB})
        e->RememberDecays(kRememberedDecay, true);
    SetSampleRate(sampleRate);
}

void CSnareDrum::SetSampleRate(int rate)
{
    CDrumKitVoice::SetSampleRate(rate);
    tone1.SetSampleRate(rate);
    tone2.SetSampleRate(rate);
    for (ZazudEnvelope* e : {&pitchEnvelope, &toneEnvelope1, &toneEnvelope2, &noiseEnvelopeA, &noiseEnvelopeB})
        e->SetSampleRate(rate);
    noiseFilterA.SetSampleRate(rate);
    noiseFilterB.SetSampleRate(rate);
}

void CSnareDrum::ApplyParameter(int index, double v) noexcept
{
    switch (index) {
    case kSdTune: {
        const double f1 = 80.0 * v + 140.0;
        pitch1 = HzToOctaves(f1);
        pitch2 = HzToOctaves(f1 * kSecondToneRatio);
        break;
    }
    case kSdTone:
        toneEnvelope1.SetDecay(0.18 * v + 0.09);
        toneEnvelope2.SetDecay((0.18 * v + 0.09) * kSecondToneDecayShare);
        break;
    case kSdSnappy:
        snappyTarget = v > 0.0 ? std::pow(10.0, -32.0 * (1.0 - v) / 10.0) : 0.0;
        break;
    default:
        break;
    }
}

void CSnareDrum::Trigger() noexcept
{
    for (ZazudEnvelope* e : {&pitchEnvelope, &toneEnvelope1, &toneEnvelope2, &noiseEnvelopeA, &noiseEnvelopeB})
        e->Trigger();
}

bool CSnareDrum::EnvelopesIdle() const noexcept
{
    return toneEnvelope1.IsIdle() && toneEnvelope2.IsIdle() && noiseEnvelopeA.IsIdle() && noiseEnvelopeB.IsIdle();
}

void CSnareDrum::RenderTone(CSineTriangleOscillator& oscillator, ZazudEnvelope& envelope, double pitch,
                            const double* offset, double* out, int frames) noexcept
{
    double* pitchBuffer = Work(1);
    double* level = Work(2);
    double* share = Work(3);
    double* gains = Work(6);
    envelope.Render(level, frames, gains);
    for (int i = 0; i < frames; ++i) {
        pitchBuffer[i] = pitch + offset[i];
        share[i] = kTriangleShare * level[i];
    }
    oscillator.Render(out, pitchBuffer, share, frames);
    ApplyGains(gains, out, frames);
}

void CSnareDrum::ShapeNoise(ZazudEnvelope& envelope, double* out, int frames) noexcept
{
    double* level = Work(2);
    double* gains = Work(6);
    envelope.Render(level, frames, gains);
    ApplyGains(gains, out, frames);
}

void CSnareDrum::RenderSound(double* out, const double* noise, int frames) noexcept
{
    double* offset = Work(0);
    double* second = Work(4);
    pitchEnvelope.Render(offset, frames);
    for (int i = 0; i < frames; ++i)
        offset[i] = (offset[i] - 1.0) * kPitchDropOctaves;
    RenderTone(tone1, toneEnvelope1, pitch1, offset, out, frames);
    RenderTone(tone2, toneEnvelope2, pitch2, offset, second, frames);
    for (int i = 0; i < frames; ++i)
        out[i] = std::clamp(out[i] + kSecondToneGain * second[i], -kToneLimit, kToneLimit);

    double* a = Work(4);
    double* b = Work(5);
    CBiquadFilter::ProcessPair(noiseFilterA, noise, a, noiseFilterB, noise, b, frames);
    ShapeNoise(noiseEnvelopeA, a, frames);
    ShapeNoise(noiseEnvelopeB, b, frames);
    double s = FirstBlock() ? snappyTarget : snappy;
    for (int i = 0; i < frames; ++i) {
        s = GlideToward(s, snappyTarget);
        out[i] += s * kNoiseBGain * b[i] + (s + kNoiseAOffset) * a[i];
    }
    snappy = s;
}
