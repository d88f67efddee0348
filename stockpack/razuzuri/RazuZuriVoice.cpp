// CRazuZuriVoice: construction, events and parameters. The rendering is in
// RazuZuriVoiceRender.cpp.

#include "stockpack/razuzuri/RazuZuriVoice.h"

#include <cmath>

#include "framework/Host.h"
#include "platform/Random.h"
#include "stockpack/razuzuri/FormantVowels.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/Pitch.h"

using namespace razuzuri;

namespace {

int RandomForLfo() noexcept
{
    return platform::Random();
}

} // namespace

CRazuZuriVoice::CRazuZuriVoice(const WaveTables& tables, CHost* host, int sampleRate, int blockSize)
    : host(host),
      sampleRate(sampleRate > 0 ? sampleRate : 44100),
      oscillators{CBandLimitedOscillator(tables.Step()), CBandLimitedOscillator(tables.Step())},
      lfos{CLfo(tables.ForLfo(), RandomForLfo), CLfo(tables.ForLfo(), RandomForLfo),
           CLfo(tables.ForLfo(), RandomForLfo)}
{
    events.Reserve(kReservedEvents);
    SetSampleRate(this->sampleRate);
    SetBlockSize(blockSize);
}

void CRazuZuriVoice::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
    for (auto& oscillator : oscillators)
        oscillator.SetSampleRate(sampleRate);
    for (auto& lfo : lfos)
        lfo.SetSampleRate(sampleRate);
    for (auto& filter : filters)
        filter.SetSampleRate(sampleRate);
    formant.SetSampleRate(sampleRate);
    portamento.SetSampleRate(sampleRate);
    ampEnvelope.SetSampleRate(sampleRate);
    filterEnvelope.SetSampleRate(sampleRate);
    // Fade steps depend on the rate.
    for (int k = 0; k < kLfoCount; ++k)
        ApplyLfoParameter(k, kLfoFadeIn, values[static_cast<std::size_t>(kLfo1Rate + k * kLfoParameterStride + kLfoFadeIn)]);
}

void CRazuZuriVoice::SetBlockSize(int blockSize)
{
    capacity = blockSize > 0 ? blockSize : 1;
    const auto size = static_cast<std::size_t>(capacity);
    for (auto* buffer : {&filterEnvelopeBuffer, &slideBuffer, &modulationA, &modulationB, &syncBuffer, &ampBuffer})
        buffer->assign(size, 0.0);
    for (auto& buffer : lfoBuffers)
        buffer.assign(size, 0.0);
    for (auto& buffer : oscillatorBuffers)
        buffer.assign(size, 0.0);
    for (auto& buffer : filterBuffers)
        buffer.assign(size, 0.0);
}

double CRazuZuriVoice::ModulationDepth(int lfo, LfoDestination destination) const
{
    if (lfo < 0 || lfo >= kLfoCount)
        return 0.0;
    return depth[static_cast<std::size_t>(lfo)][static_cast<std::size_t>(destination)];
}

void CRazuZuriVoice::ApplyPendingAtStart() noexcept
{
    ControlEvent event;
    for (const ControlEvent* first = events.At(0); first != nullptr && first->time <= 0; first = events.At(0)) {
        if (!events.Pop(&event))
            break;
        ApplyEvent(event);
    }
}

void CRazuZuriVoice::ApplyEvent(const ControlEvent& event) noexcept
{
    switch (event.type) {
    case kEventNoteOn:
        NoteOn(event);
        break;
    case kEventNoteOff:
        NoteOff();
        break;
    case kEventParameter:
        ApplyParameter(event.index, event.value);
        break;
    default:
        break;
    }
}

void CRazuZuriVoice::NoteOn(const ControlEvent& event) noexcept
{
    const auto number = static_cast<unsigned>(event.index);
    double tableHz = 0.0;
    const bool fromTable = host != nullptr && host->GetNoteFrequency(number, &tableHz) == 0 && tableHz > 0.0;

    // The event's own frequency sets the pitch; an event that carries none
    // (a hand-made one) takes the host's note table.
    noteHz = event.frequency > 0.0 && std::isfinite(event.frequency) ? event.frequency
             : fromTable                                             ? tableHz
                                                                     : NoteToHz(event.index);
    velocity = event.value;
    UpdateOscillatorPitches();
    ampEnvelope.NoteOn();
    filterEnvelope.NoteOn();
    for (int k = 0; k < kLfoCount; ++k) {
        const double fade = FadeSeconds(values[static_cast<std::size_t>(kLfo1Rate + k * kLfoParameterStride + kLfoFadeIn)]);
        fadeGain[static_cast<std::size_t>(k)] = fade > 0.0 ? 0.0 : 1.0;
    }
    portamento.Start(HzToOctaves(fromTable ? tableHz : noteHz));
}

void CRazuZuriVoice::NoteOff() noexcept
{
    ampEnvelope.NoteOff();
    filterEnvelope.NoteOff();
}

void CRazuZuriVoice::UpdateOscillatorPitches() noexcept
{
    // The semitone offset (and the detune) lives here, in the static pitch,
    // and nowhere else: n semitones transpose by n.
    const double notePitch = HzToOctaves(noteHz);
    oscillators[0].SetPitch(notePitch + semitones[0] / 12.0);
    oscillators[1].SetPitch(notePitch + (semitones[1] + detune) / 12.0);
}

void CRazuZuriVoice::UpdateModulationDepths() noexcept
{
    for (int k = 0; k < kLfoCount; ++k) {
        auto& row = depth[static_cast<std::size_t>(k)];
        row.fill(0.0);
        for (int s = 0; s < kSendsPerLfo; ++s) {
            const int sendIndex = kLfo1Rate + k * kLfoParameterStride + kLfoFirstSend + 2 * s;
            const LfoDestination destination = DestinationFromValue(values[static_cast<std::size_t>(sendIndex)]);
            if (destination != LfoDestination::None)
                row[static_cast<std::size_t>(destination)] += values[static_cast<std::size_t>(sendIndex + 1)];
        }
        bool used = false;
        for (double d : row)
            used = used || d != 0.0;
        lfoUsed[static_cast<std::size_t>(k)] = used;
    }
}

void CRazuZuriVoice::ApplyEnvelopeParameter(CEnvelope& envelope, int offset, double v) noexcept
{
    switch (offset) {
    case 0:
        envelope.SetAttack(StageSeconds(v));
        break;
    case 1:
        envelope.SetDecay(StageSeconds(v));
        break;
    case 2:
        envelope.SetSustain(v);
        break;
    case 3:
        envelope.SetRelease(StageSeconds(v));
        break;
    case 4:
        envelope.SetAttackCurve(CurveFromValue(v));
        break;
    case 5:
        envelope.SetDecayCurve(CurveFromValue(v));
        break;
    case 6:
        envelope.SetReleaseCurve(CurveFromValue(v));
        break;
    default:
        break;
    }
}

void CRazuZuriVoice::ApplyFilterParameter(int f, int offset, double v) noexcept
{
    CBiquadFilter& filter = filters[static_cast<std::size_t>(f)];
    switch (offset) {
    case 0: {
        const auto mode = static_cast<FilterMode>(ListIndex(v, 2));
        if (mode != filterModes[static_cast<std::size_t>(f)]) {
            filterModes[static_cast<std::size_t>(f)] = mode;
            filter.SetMode(mode);
        }
        break;
    }
    case 1:
        filter.SetCutoff(CutoffOctaves(v));
        break;
    case 2:
        filter.SetResonance(v);
        break;
    case 3:
        keyFollow[static_cast<std::size_t>(f)] = KeyFollowFactor(v);
        break;
    case 4:
        envelopeToCutoff[static_cast<std::size_t>(f)] = v;
        break;
    default:
        break;
    }
}

void CRazuZuriVoice::ApplyLfoParameter(int k, int offset, double v) noexcept
{
    CLfo& lfo = lfos[static_cast<std::size_t>(k)];
    switch (offset) {
    case kLfoRate:
        lfo.SetRate(LfoRateHz(v));
        break;
    case kLfoShape: {
        const auto shape = static_cast<LfoShape>(ListIndex(v, CLfo::kShapeCount));
        if (shape != lfo.Shape())
            lfo.SetShape(shape);
        break;
    }
    case kLfoFadeIn: {
        const double samples = FadeSeconds(v) * sampleRate;
        fadeStep[static_cast<std::size_t>(k)] = samples > 1.0 ? 1.0 / samples : 1.0;
        break;
    }
    default:
        UpdateModulationDepths();
        break;
    }
}

void CRazuZuriVoice::ApplyParameter(int index, double v) noexcept
{
    if (index < 0 || index >= kParameterCount)
        return;
    values[static_cast<std::size_t>(index)] = v;

    if (index < kFilterAttack) {
        ApplyEnvelopeParameter(ampEnvelope, index - kAmpAttack, v);
        return;
    }
    if (index < kVco1Shape) {
        ApplyEnvelopeParameter(filterEnvelope, index - kFilterAttack, v);
        return;
    }
    if (index >= kVcf1Mode && index < kFilterRouting) {
        const int f = (index - kVcf1Mode) / kFilterParameters;
        ApplyFilterParameter(f, (index - kVcf1Mode) % kFilterParameters, v);
        return;
    }
    if (index >= kLfo1Rate) {
        const int k = (index - kLfo1Rate) / kLfoParameterStride;
        ApplyLfoParameter(k, (index - kLfo1Rate) % kLfoParameterStride, v);
        return;
    }

    switch (index) {
    case kVco1Shape:
    case kVco2Shape: {
        const int o = index == kVco1Shape ? 0 : 1;
        const OscillatorShape shape = CBandLimitedOscillator::ShapeFromParameter(v);
        if (shape != oscillators[static_cast<std::size_t>(o)].Shape())
            oscillators[static_cast<std::size_t>(o)].SetShape(shape);
        break;
    }
    case kVco1PulseWidth:
        oscillators[0].SetPulseWidth(2.0 * v - 1.0);
        break;
    case kVco2PulseWidth:
        oscillators[1].SetPulseWidth(2.0 * v - 1.0);
        break;
    case kVco1Semitone:
        semitones[0] = SemitonesFromValue(v);
        UpdateOscillatorPitches();
        break;
    case kVco2Semitone:
        semitones[1] = SemitonesFromValue(v);
        UpdateOscillatorPitches();
        break;
    case kVco2Detune:
        detune = v;
        UpdateOscillatorPitches();
        break;
    case kVco1EnvMod:
        envelopeToPitch[0] = v;
        break;
    case kVco2EnvMod:
        envelopeToPitch[1] = v;
        break;
    case kSync:
        sync = SyncFromValue(v);
        break;
    case kFilterRouting:
        routing = static_cast<FilterRouting>(ListIndex(v, 3));
        break;
    case kFormantMix:
        formantMix = v;
        break;
    case kFormantVowel: {
        const int selected = ListIndex(v, kFormantVowelCount);
        if (selected != vowel) {
            vowel = selected;
            formant.SetFormants(GetFormantVowel(selected).frequenciesHz);
        }
        break;
    }
    case kOscBalance:
        balance = v;
        break;
    case kOscVolume:
        oscillatorGain = LevelGain(v);
        break;
    case kNoise:
        noiseGain = LevelGain(v);
        break;
    case kSaturation:
        saturation = static_cast<SaturationType>(ListIndex(v, 4));
        break;
    case kOverdrive:
        overdriveGain = OverdriveGain(v);
        break;
    case kRingMod:
        ringGain = LevelGain(v);
        break;
    case kPortamento:
    case kGlide:
        portamento.SetTimes(SlideSeconds(values[kPortamento]), SlideSeconds(values[kGlide]));
        break;
    case kSlideCurve:
        portamento.SetCurve(CurveFromValue(v));
        break;
    default:
        break;
    }
}
