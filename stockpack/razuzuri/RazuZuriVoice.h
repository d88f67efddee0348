#pragma once
// CRazuZuriVoice: one complete voice of RazuZuri: two band-limited
// oscillators with sync, noise and ring modulation, the formant filter, two
// resonant filters in series, in parallel or split to the two channels, a
// saturation stage, the amplitude and filter envelopes, portamento and three
// LFOs with three sends each.
//
// A voice hears only its own event queue: note-ons, note-offs and parameter
// changes, each at its sample time in the block. Render plays the queue in
// time order, rendering up to each event and applying it there.
//
// Threads: the audio thread alone renders and applies events. The queue is
// filled by the machine under the machine's lock, which Work also holds.
// SetSampleRate and SetBlockSize come from the host with that lock held.

#include <array>
#include <cstdint>
#include <vector>

#include "framework/ControlBuffer.h"
#include "stockpack/common/BufferOps.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"
#include "stockpack/dsp/BandLimitedOscillator.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/Envelope.h"
#include "stockpack/dsp/FormantFilter.h"
#include "stockpack/dsp/Lfo.h"
#include "stockpack/dsp/Portamento.h"
#include "stockpack/dsp/Saturation.h"

class CHost;
class WaveTables;

class CRazuZuriVoice {
public:
    /// Parameter events waiting in the queue beyond this many are applied
    /// at once (the machine's lock keeps the audio thread out meanwhile), so
    /// edits made while no audio runs neither pile up nor make the next
    /// block's first segment pay for all of them.
    static constexpr int kMaxPendingEvents = 256;
    static constexpr int kReservedEvents = 2 * kMaxPendingEvents;

    CRazuZuriVoice(const WaveTables& tables, CHost* host, int sampleRate, int blockSize);
    CRazuZuriVoice(const CRazuZuriVoice&) = delete;
    CRazuZuriVoice& operator=(const CRazuZuriVoice&) = delete;

    void SetSampleRate(int sampleRate);
    /// Resizes the work buffers. Not for the audio thread.
    void SetBlockSize(int blockSize);

    CControlBuffer& Events() { return events; }
    /// Applies a parameter value straight away (construction, and the
    /// overflow of the queue).
    void ApplyParameter(int index, double value) noexcept;
    /// Applies the queue's events of time 0 now. Machine's lock held.
    void ApplyPendingAtStart() noexcept;

    /// Plays the queue and adds frames samples to left and right.
    void Render(double* left, double* right, int frames) noexcept;

    /// The note this voice was last given and not yet released; -1 for none.
    /// Written by the machine's event dispatch.
    int note = -1;

    // For views and tests.
    /// Events waiting in the queue. (Counting changes nothing; the
    /// buffer's Count is merely not declared const.)
    int PendingEvents() const { return const_cast<CControlBuffer&>(events).Count(); }
    bool IsSounding() const { return ampEnvelope.IsActive(); }
    double Velocity() const { return velocity; }
    double NoteFrequencyHz() const { return noteHz; }
    /// The summed "Amp" of LFO lfo's sends to destination.
    double ModulationDepth(int lfo, razuzuri::LfoDestination destination) const;
    const CEnvelope& AmpEnvelope() const { return ampEnvelope; }
    const CFormantFilter& Formant() const { return formant; }

private:
    void ApplyEvent(const ControlEvent& event) noexcept;
    void NoteOn(const ControlEvent& event) noexcept;
    void NoteOff() noexcept;
    void UpdateOscillatorPitches() noexcept;
    void UpdateModulationDepths() noexcept;
    void ApplyEnvelopeParameter(CEnvelope& envelope, int offset, double value) noexcept;
    void ApplyFilterParameter(int filter, int offset, double value) noexcept;
    void ApplyLfoParameter(int lfo, int offset, double value) noexcept;

    /// Renders at most the work buffers' length.
    void RenderSegment(double* left, double* right, int frames) noexcept;
    void RenderLfos(int frames) noexcept;
    /// out[i] = sum over the LFOs of depth * LFO output for destination;
    /// false (out untouched) when no LFO sends there.
    bool ModulationSum(razuzuri::LfoDestination destination, double* out, int frames) const noexcept;
    double TotalDepth(razuzuri::LfoDestination destination) const noexcept;
    void MixOscillators(int frames, BufferPath path) noexcept;

    CHost* host;
    int sampleRate;
    int capacity = 0;

    CControlBuffer events;
    std::array<double, razuzuri::kParameterCount> values{};

    // DSP units.
    std::array<CBandLimitedOscillator, 2> oscillators;
    std::array<CLfo, razuzuri::kLfoCount> lfos;
    std::array<CBiquadFilter, 2> filters;
    CFormantFilter formant;
    CPortamento portamento;
    CEnvelope ampEnvelope;
    CEnvelope filterEnvelope;

    // Note state.
    double velocity = 0.0;
    double noteHz = 440.0;
    std::array<double, razuzuri::kLfoCount> fadeGain{1.0, 1.0, 1.0};
    bool filtersCleared = true;

    // Settings derived from the parameters.
    std::array<std::array<double, razuzuri::kLfoDestinationCount>, razuzuri::kLfoCount> depth{};
    std::array<bool, razuzuri::kLfoCount> lfoUsed{};
    std::array<double, razuzuri::kLfoCount> fadeStep{1.0, 1.0, 1.0};
    std::array<int, 2> semitones{};
    std::array<double, 2> envelopeToPitch{};    // octaves at full filter envelope
    std::array<double, 2> keyFollow{};
    std::array<double, 2> envelopeToCutoff{};   // the "Env Mod" values
    std::array<FilterMode, 2> filterModes{FilterMode::LowPass, FilterMode::LowPass};
    double detune = 0.0;
    bool sync = false;
    razuzuri::FilterRouting routing = razuzuri::FilterRouting::Serial;
    double formantMix = 0.0;
    int vowel = -1;
    double balance = 0.5;
    double oscillatorGain = 1.0;
    double noiseGain = 0.0;
    SaturationType saturation = SaturationType::None;
    double overdriveGain = 1.0;
    double ringGain = 0.0;

    // Work buffers, capacity samples each.
    std::vector<double> filterEnvelopeBuffer, slideBuffer, modulationA, modulationB;
    std::array<std::vector<double>, razuzuri::kLfoCount> lfoBuffers;
    std::array<std::vector<double>, 2> oscillatorBuffers;
    std::vector<double> syncBuffer;
    std::array<std::vector<double>, 2> filterBuffers;
    std::vector<double> ampBuffer;
};
