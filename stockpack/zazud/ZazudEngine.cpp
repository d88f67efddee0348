#include "stockpack/zazud/ZazudEngine.h"

#include <algorithm>
#include <cmath>

#include "stockpack/common/PlugContext.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/Amplifier.h"
#include "stockpack/dsp/Pitch.h"

using namespace zazud;

namespace {

constexpr double kInitialCutoffOctaves = 6.0;
/// An attack or decay time parameter v lasts 0.2v or v seconds.
constexpr double kAttackSecondsPerUnit = 0.2;
constexpr double kDecaySecondsPerUnit = 1.0;
constexpr double kCutoffOctavesPerUnit = 12.0;

} // namespace

ZazudEngine::ZazudEngine(int sampleRate, int blockSize)
{
    // The sine table is filled when the library's tables are first built.
    SharedWaveTables();
    oscillator.SetTables(SineTable(), {});
    filter.SetMode(FilterMode::LowPass);
    filter.SetFourPole(true);
    filter.SetResonance(0.0);
    filter.SetCutoff(kInitialCutoffOctaves);
    // Until the parameters arrive: attack 0.01 s, decay 1 s, straight.
    for (ZazudEnvelope* envelope : {&pitchEnvelope, &ampEnvelope}) {
        envelope->SetAttack(0.01);
        envelope->SetDecay(1.0);
    }
    events.Reserve(2 * kMaxPendingEvents);
    SetSampleRate(sampleRate);
    SetBlockSize(blockSize);
}

void ZazudEngine::SetSampleRate(int rate)
{
    oscillator.SetSampleRate(rate);
    filter.SetSampleRate(rate);
    pitchEnvelope.SetSampleRate(rate);
    ampEnvelope.SetSampleRate(rate);
}

void ZazudEngine::SetBlockSize(int blockSize)
{
    capacity = std::max(blockSize, 1);
    bufferA.assign(static_cast<std::size_t>(capacity), 0.0);
}

void ZazudEngine::ApplyPendingAtStart() noexcept
{
    ControlEvent event;
    while (events.Count() > 0 && events.At(0)->time <= 0 && events.Pop(&event))
        ApplyEvent(event);
}

void ZazudEngine::ApplyParameter(int index, double value) noexcept
{
    switch (index) {
    case kVcoAttack: pitchEnvelope.SetAttack(kAttackSecondsPerUnit * value); break;
    case kVcoDecay: pitchEnvelope.SetDecay(kDecaySecondsPerUnit * value); break;
    case kVcoCurve: pitchEnvelope.SetDecayCurve(CurveShape::CurveFromParameter(value)); break;
    case kAmpAttack: ampEnvelope.SetAttack(kAttackSecondsPerUnit * value); break;
    case kAmpDecay: ampEnvelope.SetDecay(kDecaySecondsPerUnit * value); break;
    case kAmpCurve: ampEnvelope.SetDecayCurve(CurveShape::CurveFromParameter(value)); break;
    case kVcfCutoff: filter.SetCutoff(kCutoffOctavesPerUnit * value); break;
    default: break;
    }
}

void ZazudEngine::NoteOn(const ControlEvent& event) noexcept
{
    double hz = event.frequency;
    // An event without a frequency (made by hand, not by the host's note
    // table) still plays its note in equal temperament.
    if (!(hz > 0.0))
        hz = NoteToHz(event.index);
    notePitch = HzToOctaves(hz);
    pitchEnvelope.Trigger();
    ampEnvelope.Trigger();
}

void ZazudEngine::ApplyEvent(const ControlEvent& event) noexcept
{
    switch (event.type) {
    case kEventNoteOn: NoteOn(event); break;
    case kEventParameter: ApplyParameter(event.index, event.value); break;
    default: break;   // note-offs: each hit runs its full envelope
    }
}

void ZazudEngine::Render(double* out, int frames) noexcept
{
    int position = 0;
    ControlEvent event;
    while (events.Pop(&event)) {
        // Times outside the block are taken at its nearest end, so that a
        // stray event can neither render past the buffers nor be lost.
        const int time = std::clamp(event.time, position, frames);
        if (time > position) {
            RenderSegment(out + position, time - position);
            position = time;
        }
        ApplyEvent(event);
    }
    if (position < frames)
        RenderSegment(out + position, frames - position);
}

void ZazudEngine::RenderSegment(double* out, int frames) noexcept
{
    double* a = bufferA.data();
    while (frames > 0) {
        const int n = std::min(frames, capacity);
        pitchEnvelope.Render(a, n);
        for (int i = 0; i < n; ++i)
            a[i] *= notePitch;
        oscillator.Render(out, a, nullptr, n);
        filter.Process(out, out, n);
        ampEnvelope.Render(a, n);
        ApplyAmplifier(a, out, n);
        out += n;
        frames -= n;
    }
}
