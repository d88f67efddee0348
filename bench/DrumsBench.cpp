// The drum machines' cost per stereo frame, 44.1 kHz, 256-sample blocks:
// VUziD8 with all eleven sounds ringing (every sound struck again every
// four blocks, so none has died away) and Zazud with one hit ringing (a
// note every 64 blocks). Zazud's output is mono; its frame is one sample.
//
// Reported per benchmark:
//   ns_per_frame   processor time of the rendering thread / frames rendered,
//                  so that other programs on a shared machine do not count
//   target_ns      the most a frame may cost
//   realtime       how many of these machines one core runs in real time

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/BenchHost.h"
#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Port.h"
#include "stockpack/drumkit/DrumKit.h"
#include "stockpack/zazud/Kick.h"

namespace {

using bench::CBenchHost;
using bench::kBlock;
using bench::kSampleRate;
using bench::ThreadCpuSeconds;

constexpr int kDrumSounds = 11;

/// Runs the machine block by block, calling strike(block) before each Work
/// to queue that block's events; reports processor time per frame.
template <typename Strike>
void RunPerFrame(benchmark::State& state, CMachine& machine, double targetNs, Strike strike)
{
    int block = 0;
    for (; block < 64; ++block) {
        strike(block);
        machine.Work();
    }
    std::int64_t frames = 0;
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        strike(block++);
        machine.Work();
        frames += kBlock;
    }
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double nsPerFrame = frames > 0 ? cpu * 1e9 / static_cast<double>(frames) : 0.0;
    state.counters["ns_per_frame"] = nsPerFrame;
    state.counters["target_ns"] = targetNs;
    state.counters["realtime"] = nsPerFrame > 0.0 ? 1e9 / (nsPerFrame * kSampleRate) : 0.0;
    state.SetItemsProcessed(frames);
}

void BM_VUziD8AllSoundsRinging(benchmark::State& state)
{
    CBenchHost host;
    auto kit = std::make_unique<CDrumKit>(&host);
    CControlBuffer* in = kit->ports[CDrumKit::kControlInPort]->control;
    RunPerFrame(state, *kit, 250.0, [in](int block) {
        if (block % 4 != 0)
            return;
        for (int sound = 0; sound < kDrumSounds; ++sound) {
            const ControlEvent hit = MakeControlEvent(kEventTriggerOn, 7 * sound, sound, 0.9);
            in->Insert(&hit);
        }
    });
}

void BM_ZazudOneHit(benchmark::State& state)
{
    CBenchHost host;
    auto kick = std::make_unique<CKick>(&host);
    CControlBuffer* in = kick->ports[CKick::kControlInPort]->control;
    RunPerFrame(state, *kick, 40.0, [in](int block) {
        if (block % 64 != 0)
            return;
        const ControlEvent note = MakeControlEvent(kEventNoteOn, 0, 36, 1.0, 65.4);
        in->Insert(&note);
    });
}

} // namespace

BENCHMARK(BM_VUziD8AllSoundsRinging)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZazudOneHit)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
