// CRazuZuriVoice: rendering. Each segment runs the voice's signal path in
// order: filter envelope, LFOs, oscillators, mixer, formant filter, the two
// filters with saturation, then the amplifier into the output channels.

#include <algorithm>
#include <cmath>

#include "platform/Random.h"
#include "stockpack/common/BufferOps.h"
#include "stockpack/razuzuri/RazuZuriVoice.h"
#include "stockpack/dsp/Amplifier.h"

using namespace razuzuri;

namespace {

/// Amplitude modulation this small is inaudible and skipped.
constexpr double kAmplitudeModulationThreshold = 0.0001;

double NoiseSample() noexcept
{
    return platform::Random() / 16383.5 - 1.0;
}

} // namespace

void CRazuZuriVoice::Render(double* left, double* right, int frames) noexcept
{
    int position = 0;
    ControlEvent event;
    while (events.Pop(&event)) {
        // Times outside the block are taken at its nearest end, so that a
        // stray event can neither render past the buffers nor be lost.
        const int time = std::clamp(event.time, position, frames);
        if (time > position) {
            RenderSegment(left + position, right + position, time - position);
            position = time;
        }
        ApplyEvent(event);
    }
    if (position < frames)
        RenderSegment(left + position, right + position, frames - position);
}

double CRazuZuriVoice::TotalDepth(LfoDestination destination) const noexcept
{
    double total = 0.0;
    for (int k = 0; k < kLfoCount; ++k)
        total += std::fabs(depth[static_cast<std::size_t>(k)][static_cast<std::size_t>(destination)]);
    return total;
}

bool CRazuZuriVoice::ModulationSum(LfoDestination destination, double* out, int frames) const noexcept
{
    bool any = false;
    for (int k = 0; k < kLfoCount; ++k) {
        const double d = depth[static_cast<std::size_t>(k)][static_cast<std::size_t>(destination)];
        if (d == 0.0)
            continue;
        const double* lfo = lfoBuffers[static_cast<std::size_t>(k)].data();
        if (!any) {
            for (int i = 0; i < frames; ++i)
                out[i] = lfo[i] * d;
            any = true;
        } else {
            for (int i = 0; i < frames; ++i)
                out[i] += lfo[i] * d;
        }
    }
    return any;
}

void CRazuZuriVoice::RenderLfos(int frames) noexcept
{
    for (int k = 0; k < kLfoCount; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        double gain = fadeGain[kk];
        const double step = fadeStep[kk];
        if (!lfoUsed[kk]) {
            lfos[kk].Skip(frames);
            fadeGain[kk] = std::min(1.0, gain + step * frames);
            continue;
        }
        double* out = lfoBuffers[kk].data();
        lfos[kk].Render(out, frames);
        if (gain >= 1.0)
            continue;
        for (int i = 0; i < frames; ++i) {
            out[i] *= gain;
            gain = std::min(1.0, gain + step);
        }
        fadeGain[kk] = gain;
    }
}

void CRazuZuriVoice::MixOscillators(int frames, BufferPath path) noexcept
{
    const double* vco1 = oscillatorBuffers[0].data();
    const double* vco2 = oscillatorBuffers[1].data();
    double* in1 = filterBuffers[0].data();
    double* in2 = filterBuffers[1].data();
    const double g = oscillatorGain;
    const double b = balance;
    const double drive = saturation != SaturationType::None ? overdriveGain : 1.0;

    if (routing == FilterRouting::Split) {
        for (int i = 0; i < frames; ++i) {
            in1[i] = vco1[i] * (1.0 - b) * g * drive;
            in2[i] = vco2[i] * b * g;
        }
        if (noiseGain > 0.0) {
            for (int i = 0; i < frames; ++i)
                in2[i] += NoiseSample() * noiseGain;
        }
        return;
    }
    for (int i = 0; i < frames; ++i)
        in1[i] = (b * vco2[i] + (1.0 - b) * vco1[i]) * g;
    if (noiseGain > 0.0) {
        for (int i = 0; i < frames; ++i)
            in1[i] += NoiseSample() * noiseGain;
    }
    if (ringGain > 0.0) {
        for (int i = 0; i < frames; ++i)
            in1[i] += vco1[i] * vco2[i] * ringGain;
    }
    if (routing == FilterRouting::Parallel)
        CopySamples(in2, in1, frames, path);
    if (drive != 1.0)
        ScaleSamples(in1, drive, frames, path);
}

void CRazuZuriVoice::RenderSegment(double* left, double* right, int frames) noexcept
{
    // Blocks longer than the work buffers (which the host never sends, as
    // it resizes them first) are rendered in pieces.
    while (frames > capacity) {
        RenderSegment(left, right, capacity);
        left += capacity;
        right += capacity;
        frames -= capacity;
    }
    if (frames <= 0)
        return;

    const BufferPath path = CurrentBufferPath();

    // 1-2. Filter envelope and LFOs run whether or not the voice sounds.
    const bool filterEnvelopeActive = filterEnvelope.IsActive();
    double* envelope = filterEnvelopeBuffer.data();
    if (filterEnvelopeActive)
        filterEnvelope.Render(envelope, frames);
    RenderLfos(frames);

    // 3. A silent voice adds nothing and starts its next note from clean
    // filters.
    if (!ampEnvelope.IsActive()) {
        if (!filtersCleared) {
            for (auto& filter : filters)
                filter.Reset();
            formant.ClearHistories();
            filtersCleared = true;
        }
        return;
    }
    filtersCleared = false;

    // 4. Oscillators.
    const bool sliding = portamento.IsSliding();
    double* slide = slideBuffer.data();
    if (sliding)
        portamento.RenderOffset(slide, frames);
    double* pitchModulation = modulationA.data();
    double* widthModulation = modulationB.data();
    double* syncSignal = syncBuffer.data();
    static constexpr LfoDestination kPitch[2] = {LfoDestination::Vco1Pitch, LfoDestination::Vco2Pitch};
    static constexpr LfoDestination kWidth[2] = {LfoDestination::Vco1PulseWidth, LfoDestination::Vco2PulseWidth};
    static constexpr LfoDestination kAmp[2] = {LfoDestination::Vco1Amp, LfoDestination::Vco2Amp};
    for (int o = 0; o < 2; ++o) {
        const auto oo = static_cast<std::size_t>(o);
        bool hasPitch = ModulationSum(kPitch[o], pitchModulation, frames);
        if (sliding) {
            if (hasPitch) {
                for (int i = 0; i < frames; ++i)
                    pitchModulation[i] += slide[i];
            } else {
                CopySamples(pitchModulation, slide, frames, path);
            }
            hasPitch = true;
        }
        const double envelopeOctaves = envelopeToPitch[oo] * 8.0;
        if (envelopeToPitch[oo] > 0.0 && filterEnvelopeActive) {
            if (hasPitch) {
                for (int i = 0; i < frames; ++i)
                    pitchModulation[i] += envelope[i] * envelopeOctaves;
            } else {
                for (int i = 0; i < frames; ++i)
                    pitchModulation[i] = envelope[i] * envelopeOctaves;
            }
            hasPitch = true;
        }
        const bool hasWidth = ModulationSum(kWidth[o], widthModulation, frames);
        double* out = oscillatorBuffers[oo].data();
        oscillators[oo].Render(out, frames, hasPitch ? pitchModulation : nullptr,
                               hasWidth ? widthModulation : nullptr,
                               o == 1 && sync ? syncSignal : nullptr, o == 0 && sync ? syncSignal : nullptr);
        if (TotalDepth(kAmp[o]) > kAmplitudeModulationThreshold && ModulationSum(kAmp[o], widthModulation, frames)) {
            for (int i = 0; i < frames; ++i)
                out[i] *= 1.0 + widthModulation[i];
        }
    }

    // 5. Mixer.
    MixOscillators(frames, path);

    // 6. Formant filter over filter 1's input.
    double* in1 = filterBuffers[0].data();
    double* in2 = filterBuffers[1].data();
    if (formantMix > 0.0) {
        double* formantOut = ampBuffer.data();
        formant.Process(in1, formantOut, frames);
        const double dry = 1.0 - formantMix;
        for (int i = 0; i < frames; ++i)
            in1[i] = formantOut[i] * formantMix + in1[i] * dry;
    }

    // 7. Filters. Cutoff modulation: filter envelope (scaled by velocity),
    // the portamento's slide offset by key follow, and the LFO sends.
    static constexpr LfoDestination kCutoff[2] = {LfoDestination::Vcf1Pitch, LfoDestination::Vcf2Pitch};
    static constexpr LfoDestination kResonance[2] = {LfoDestination::Vcf1Resonance, LfoDestination::Vcf2Resonance};
    double* cutoffModulation = modulationA.data();
    double* resonanceModulation = modulationB.data();
    for (int f = 0; f < 2; ++f) {
        const auto ff = static_cast<std::size_t>(f);
        bool hasCutoff = ModulationSum(kCutoff[f], cutoffModulation, frames);
        const double envelopeOctaves = (velocity + 0.5) * 8.0 * envelopeToCutoff[ff];
        if (filterEnvelopeActive && envelopeOctaves != 0.0) {
            if (hasCutoff) {
                for (int i = 0; i < frames; ++i)
                    cutoffModulation[i] += envelope[i] * envelopeOctaves;
            } else {
                for (int i = 0; i < frames; ++i)
                    cutoffModulation[i] = envelope[i] * envelopeOctaves;
            }
            hasCutoff = true;
        }
        if (sliding && keyFollow[ff] != 0.0) {
            if (hasCutoff) {
                AddScaledSamples(cutoffModulation, slide, keyFollow[ff], frames, path);
            } else {
                for (int i = 0; i < frames; ++i)
                    cutoffModulation[i] = slide[i] * keyFollow[ff];
            }
            hasCutoff = true;
        }
        const bool hasResonance = ModulationSum(kResonance[f], resonanceModulation, frames);
        // In Serial, filter 2 takes filter 1's (saturated) output into its
        // own buffer.
        const double* input = f == 0 ? in1 : routing == FilterRouting::Serial ? in1 : in2;
        double* output = f == 0 ? in1 : in2;
        filters[ff].Process(input, output, frames, hasCutoff ? cutoffModulation : nullptr,
                            hasResonance ? resonanceModulation : nullptr);
        if (f == 0)
            ProcessSaturation(saturation, in1, frames);
    }

    // 8. Amplifier and output. In Serial the chain ends at filter 2, whose
    // output both channels carry; otherwise filter 1 goes left and filter 2
    // right.
    double* gains = ampBuffer.data();
    ampEnvelope.Render(gains, frames);
    AmplifierGains(gains, gains, frames);
    if (routing == FilterRouting::Serial) {
        for (int i = 0; i < frames; ++i) {
            const double y = in2[i] * gains[i];
            left[i] += y;
            right[i] += y;
        }
    } else {
        for (int i = 0; i < frames; ++i) {
            in1[i] *= gains[i];
            in2[i] *= gains[i];
        }
        AddSamples(left, in1, frames, path);
        AddSamples(right, in2, frames, path);
    }
}
