// RazuZuri's rendering cost: 16 voices sounding, both filters swept by the
// filter envelope and an LFO (so their coefficients are recomputed every 4
// samples), 256-sample blocks at 44.1 kHz.
//
// Reported per benchmark:
//   ns_per_voice_sample   processor time of the rendering thread / (voices x
//                         256 x blocks), so that other programs on a shared
//                         machine do not count
//   target_ns             40, the most a voice-sample may cost
//   voices_realtime       how many voices one core renders in real time
//                         (1e9 / (ns_per_voice_sample x 44100))
// The "Everything" patch adds sync, noise, ring modulation, the formant
// filter, saturation and three LFOs on pitch and pulse width; it is the
// ceiling, not the target.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "bench/BenchHost.h"
#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/razuzuri/RazuZuri.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"
#include "stockpack/razuzuri/RazuZuriVoice.h"

namespace {

using bench::CBenchHost;
using bench::kBlock;
using bench::kSampleRate;
using bench::ThreadCpuSeconds;

constexpr double kTargetNs = 40.0;

enum class Patch { Modulated, Everything };

void ApplyPatch(CRazuZuri& synth, Patch patch)
{
    using namespace razuzuri;
    // Filter envelope: a long decay to a low sustain, deep on both filters.
    synth.SetParameter(kFilterAttack + 1, 0.6);
    synth.SetParameter(kFilterAttack + 2, 0.3);
    synth.SetParameter(kVcf1Cutoff, 0.4);
    synth.SetParameter(kVcf1Resonance, 0.6);
    synth.SetParameter(kVcf2Mode + 1, 0.5);
    // LFO 1 at about 6 Hz on both filters' pitch.
    synth.SetParameter(kLfo1Rate, 0.7);
    synth.SetParameter(kLfo1Rate + kLfoFirstSend, 0.75);       // VCF1 Pitch
    synth.SetParameter(kLfo1Rate + kLfoFirstSend + 1, 0.5);
    synth.SetParameter(kLfo1Rate + kLfoFirstSend + 2, 0.85);   // VCF2 Pitch
    synth.SetParameter(kLfo1Rate + kLfoFirstSend + 3, 0.5);
    synth.SetParameter(kAmpSustain, 0.8);
    if (patch == Patch::Everything) {
        synth.SetParameter(kVco1Shape, 0.9);
        synth.SetParameter(kVco2Shape, 0.1);
        synth.SetParameter(kSync, 1.0);
        synth.SetParameter(kVco2Semitone, 0.6);
        synth.SetParameter(kNoise, 0.5);
        synth.SetParameter(kRingMod, 0.5);
        synth.SetParameter(kFormantMix, 0.5);
        synth.SetParameter(kFormantVowel, 0.5);
        synth.SetParameter(kSaturation, 0.3);
        synth.SetParameter(kOverdrive, 0.2);
        synth.SetParameter(kVco1EnvMod, 0.1);
        synth.SetParameter(kLfo1Rate + 9, 0.6);   // LFO 2 on VCO1 pitch and VCO2 pulse width
        synth.SetParameter(kLfo1Rate + 9 + kLfoFirstSend, 0.35);
        synth.SetParameter(kLfo1Rate + 9 + kLfoFirstSend + 1, 0.05);
        synth.SetParameter(kLfo1Rate + 9 + kLfoFirstSend + 2, 0.65);
        synth.SetParameter(kLfo1Rate + 18 + 1, 0.9);   // LFO 3, sample and glide, on VCO2 amp
        synth.SetParameter(kLfo1Rate + 18 + kLfoFirstSend, 0.25);
        synth.SetParameter(kLfo1Rate + 18 + kLfoFirstSend + 1, 0.3);
    }
}

void RenderVoices(benchmark::State& state, bool polyphonic, Patch patch)
{
    CBenchHost host;
    CreatePlugContext(&host, host.GetCpuFeatures());
    auto synth = std::make_unique<CRazuZuri>(&host, nullptr, polyphonic);
    ApplyPatch(*synth, patch);
    const int voices = synth->VoiceCount();
    CControlBuffer* input = synth->ports[CRazuZuri::kControlInPort]->control;
    for (int v = 0; v < voices; ++v) {
        const int note = 36 + 3 * v;
        const ControlEvent on = MakeControlEvent(kEventNoteOn, v, note, 0.8,
                                                 440.0 * std::exp2((note - 69) / 12.0));
        input->Insert(&on);
    }
    synth->Work();
    long blocks = 0;
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        synth->Work();
        benchmark::DoNotOptimize(synth->ports[CRazuZuri::kLineOutPort]->audio->left[kBlock - 1]);
        ++blocks;
        // Every 1000 blocks (5.8 s of sound) the notes start again, so the
        // envelopes keep moving.
        if (blocks % 1000 == 0) {
            for (int v = 0; v < voices; ++v) {
                const int note = 36 + 3 * v;
                const ControlEvent on = MakeControlEvent(kEventNoteOn, v, note, 0.8,
                                                         440.0 * std::exp2((note - 69) / 12.0));
                input->Insert(&on);
            }
        }
    }
    const double cpuSeconds = ThreadCpuSeconds() - cpuStart;
    for (int v = 0; v < voices; ++v) {
        if (!synth->Voice(v).IsSounding())
            state.SkipWithError("a voice fell silent");
    }
    // Processor time of this thread, so that other programs on a shared
    // machine do not count.
    const double voiceSamples = static_cast<double>(state.iterations()) * voices * kBlock;
    const double nsPerVoiceSample = cpuSeconds * 1e9 / voiceSamples;
    state.SetItemsProcessed(static_cast<std::int64_t>(voiceSamples));
    state.counters["ns_per_voice_sample"] = nsPerVoiceSample;
    state.counters["voices_realtime"] = 1e9 / (nsPerVoiceSample * kSampleRate);
    state.counters["target_ns"] = kTargetNs;
}

void BM_RazuZuri16VoicesModulated(benchmark::State& state)
{
    RenderVoices(state, true, Patch::Modulated);
}

void BM_RazuZuri16VoicesEverything(benchmark::State& state)
{
    RenderVoices(state, true, Patch::Everything);
}

void BM_RazuZuriMonoModulated(benchmark::State& state)
{
    RenderVoices(state, false, Patch::Modulated);
}

} // namespace

BENCHMARK(BM_RazuZuri16VoicesModulated)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_RazuZuri16VoicesEverything)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_RazuZuriMonoModulated)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

BENCHMARK_MAIN();
