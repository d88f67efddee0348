#pragma once
// ZazudEngine: the sound of the Zazud kick: a sine whose pitch its own
// envelope sweeps from the note's frequency down towards 13.75 Hz, a fixed
// four-pole low-pass and an amplitude envelope. Each note-on restarts both
// envelopes from their current levels; a note-off changes nothing, every hit
// runs its whole envelope.
//
// Threads: the audio thread renders and applies the queued events. The
// machine fills the queue under its lock, which Work also holds; the
// sample-rate and block-size setters come from the host under that lock.

#include <vector>

#include "framework/ControlBuffer.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/SineTriangleOscillator.h"
#include "stockpack/dsp/ZazudEnvelope.h"

namespace zazud {

constexpr int kParameterCount = 7;
enum Parameter : int {
    kVcoAttack = 0,
    kVcoDecay = 1,
    kVcoCurve = 2,
    kAmpAttack = 3,
    kAmpDecay = 4,
    kAmpCurve = 5,
    kVcfCutoff = 6,
};

} // namespace zazud

class ZazudEngine {
public:
    /// Parameter events beyond this many waiting are applied at once (under
    /// the machine's lock), so edits made while no audio runs never pile up.
    static constexpr int kMaxPendingEvents = 256;

    ZazudEngine(int sampleRate, int blockSize);
    ZazudEngine(const ZazudEngine&) = delete;
    ZazudEngine& operator=(const ZazudEngine&) = delete;

    void SetSampleRate(int sampleRate);
    /// Resizes the work buffers. Not for the audio thread.
    void SetBlockSize(int blockSize);

    CControlBuffer& Events() { return events; }
    /// Applies the queue's events of time 0 now. Machine's lock held.
    void ApplyPendingAtStart() noexcept;
    void ApplyEvent(const ControlEvent& event) noexcept;

    /// Plays the queue and writes frames samples to out.
    void Render(double* out, int frames) noexcept;

    // For tests.
    const ZazudEnvelope& PitchEnvelope() const { return pitchEnvelope; }
    const ZazudEnvelope& AmpEnvelope() const { return ampEnvelope; }
    double NotePitch() const { return notePitch; }

private:
    void ApplyParameter(int index, double value) noexcept;
    void NoteOn(const ControlEvent& event) noexcept;
    void RenderSegment(double* out, int frames) noexcept;

    CControlBuffer events;
    std::vector<double> bufferA;   // the envelopes, capacity samples
    int capacity = 0;
    double notePitch = 0.0;   // octaves: log2(Hz / 440) + 5
    CSineTriangleOscillator oscillator;
    CBiquadFilter filter;
    ZazudEnvelope pitchEnvelope;
    ZazudEnvelope ampEnvelope;
};
