#include "stockpack/drumkit/DrumKitCymbal.h"

#include <cmath>

#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/Amplifier.h"
#include "stockpack/dsp/Pitch.h"

using namespace drumkit;

namespace {

constexpr double kOscillatorHz[3] = {1047.0, 1109.0, 1175.0};
constexpr double kBandOctaves = 6.254814;       // 1050 Hz
constexpr double kHighPassOctaves = 7.219345;   // 2049 Hz
constexpr double kBandPathGain = 0.5;
/// Both paths carry the sum of the three squares; a third of it keeps the
/// level one square would have.
constexpr double kOscillatorSumGain = 1.0 / 3.0;

// Tuned by ear: the band path is the stick's short clang, swept up two
// octaves at the hit; the high path's corner starts an octave up and
// settles as the wash takes over; the final envelope decays exponentially.
constexpr double kBandDecaySeconds = 0.08;
constexpr double kBandSweepOctaves = 2.0;
constexpr double kHighDecaySeconds = 0.4;
constexpr double kHighSweepOctaves = 1.0;
constexpr double kBandResonance = 3.0;
constexpr double kFinalAttackSeconds = 0.0005;
constexpr double kFinalDecayCurve = -4.0;
constexpr double kEnvelopeDecayCurve = -3.0;

} // namespace

CCymbal::CCymbal(const Settings& settings, int sampleRate, int blockSize)
    : CDrumKitVoice(sampleRate, blockSize), settings(settings),
      oscillators{CBandLimitedOscillator(SharedWaveTables().Step()), CBandLimitedOscillator(SharedWaveTables().Step()),
                  CBandLimitedOscillator(SharedWaveTables().Step())}
{
    for (int k = 0; k < 3; ++k) {
        CBandLimitedOscillator& o = oscillators[static_cast<std::size_t>(k)];
        o.SetShape(OscillatorShape::Square);
        o.SetPitch(HzToOctaves(kOscillatorHz[k]));
    }
    bandPass.SetMode(FilterMode::BandPass);
    bandPass.SetCutoff(kBandOctaves);
    bandPass.SetResonance(kBandResonance);
    highPass.SetMode(FilterMode::HighPass);
    highPass.SetCutoff(kHighPassOctaves);
    bandEnvelope.SetAttack(0.0);
    bandEnvelope.SetDecay(kBandDecaySeconds);
    bandEnvelope.SetDecayCurve(kEnvelopeDecayCurve);
    highEnvelope.SetAttack(0.0);
    highEnvelope.SetDecay(kHighDecaySeconds);
    highEnvelope.SetDecayCurve(kEnvelopeDecayCurve);
    finalEnvelope.SetAttack(kFinalAttackSeconds);
    finalEnvelope.SetDecayCurve(kFinalDecayCurve);
    bandEnvelope.RememberDecays(kRememberedDecay, true);
    highEnvelope.RememberDecays(kRememberedDecay, false);
    finalEnvelope.RememberDecays(kRememberedDecay, true);
    bandPass.RememberCoefficients(kRememberedDecay / CBiquadFilter::kModulationInterval);
    highPass.RememberCoefficients(kRememberedDecay / CBiquadFilter::kModulationInterval);
    SetSampleRate(sampleRate);
}

void CCymbal::SetSampleRate(int rate)
{
    CDrumKitVoice::SetSampleRate(rate);
    for (auto& o : oscillators)
        o.SetSampleRate(rate);
    bandPass.SetSampleRate(rate);
    highPass.SetSampleRate(rate);
    for (ZazudEnvelope* e : {&bandEnvelope, &highEnvelope, &finalEnvelope})
        e->SetSampleRate(rate);
}

void CCymbal::ApplyParameter(int index, double v) noexcept
{
    if (index == settings.decayParameter)
        finalEnvelope.SetDecay(settings.decaySecondsPerUnit * v + settings.decayOffsetSeconds);
}

void CCymbal::Trigger() noexcept
{
    bandEnvelope.Trigger();
    highEnvelope.Trigger();
    finalEnvelope.Trigger();
}

bool CCymbal::EnvelopesIdle() const noexcept
{
    return finalEnvelope.IsIdle();
}

void CCymbal::RenderSound(double* out, const double* /*noise*/, int frames) noexcept
{
    double* sum = Work(0);
    double* first = Work(1);
    double* second = Work(2);
    for (int i = 0; i < frames; ++i)
        sum[i] = 0.0;
    for (auto& o : oscillators) {
        o.Render(first, frames);
        o.Render(second, frames, first);
        for (int i = 0; i < frames; ++i)
            sum[i] += second[i] * kOscillatorSumGain;
    }

    // Both paths carry the whole cluster: one oscillator alone would be a
    // plain square, not a cymbal.
    double* level = Work(3);
    double* bandSweep = Work(4);
    double* gains = Work(5);
    double* highSweep = Work(6);
    bandEnvelope.Render(level, frames, gains);
    for (int i = 0; i < frames; ++i) {
        first[i] = sum[i];
        bandSweep[i] = kBandSweepOctaves * level[i];
    }
    ApplyGains(gains, first, frames);
    highEnvelope.Render(level, frames);
    for (int i = 0; i < frames; ++i)
        highSweep[i] = kHighSweepOctaves * level[i];
    CBiquadFilter::ProcessPair(bandPass, first, first, highPass, sum, second, frames, bandSweep, highSweep);

    finalEnvelope.Render(level, frames, gains);
    for (int i = 0; i < frames; ++i)
        out[i] = (first[i] * kBandPathGain + second[i]) * settings.outputGain;
    ApplyGains(gains, out, frames);
}

CCrashCymbal::CCrashCymbal(int sampleRate, int blockSize)
    : CCymbal({kCcDecay, 1.0, 0.4, 0.8}, sampleRate, blockSize)
{
}

CRideCymbal::CRideCymbal(int sampleRate, int blockSize)
    : CCymbal({kRcDecay, 0.5, 0.2, 0.9}, sampleRate, blockSize)
{
}
