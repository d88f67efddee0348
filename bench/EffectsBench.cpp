// The effects' cost per stereo frame at their settings from creation,
// 44.1 kHz, 256-sample blocks, with a signal on every input (pink-ish noise
// at about -12 dB, so that nothing is running on denormals or silence).
//
// Reported per benchmark:
//   ns_per_frame   processor time of the rendering thread / frames rendered,
//                  so that other programs on a shared machine do not count
//   target_ns      the most a frame may cost
//   realtime       how many of these machines one core runs in real time
//
// The mixer is fed on all eight tracks and runs both its passes, Work and
// WorkReturns, as the engine does each block; the aux returns carry the
// same signal as an effect on each loop would give back.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bench/BenchHost.h"
#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/davarorodir/DavarorOdir.h"
#include "stockpack/dovodorez/Echo.h"
#include "stockpack/mixer/Mixer.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"

namespace {

using bench::CBenchHost;
using bench::kBlock;
using bench::kSampleRate;
using bench::ThreadCpuSeconds;

/// One block of noise, low-passed once so it is not white, around -12 dB.
std::vector<double> NoiseBlock(std::uint32_t seed)
{
    std::vector<double> block(kBlock);
    double smoothed = 0.0;
    for (double& sample : block) {
        seed = seed * 1664525u + 1013904223u;
        const double white = static_cast<double>(seed >> 8) / static_cast<double>(1u << 24) - 0.5;
        smoothed += 0.3 * (white - smoothed);
        sample = smoothed;
    }
    return block;
}

void Fill(CAudioBuffer* buffer, const std::vector<double>& left, const std::vector<double>& right)
{
    for (int i = 0; i < kBlock; ++i) {
        buffer->left[i] = left[static_cast<std::size_t>(i)];
        buffer->right[i] = right[static_cast<std::size_t>(i)];
    }
}

/// Runs process once per block, with the input ports refreshed by refill
/// every block so the machine always sees fresh signal; reports the thread's
/// processor time per frame.
void RunPerFrame(benchmark::State& state, double targetNs, const std::function<void()>& refill,
                 const std::function<void()>& process)
{
    // Let delay lines fill and glides settle before measuring.
    for (int block = 0; block < 64; ++block) {
        refill();
        process();
    }
    std::int64_t frames = 0;
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        refill();
        process();
        frames += kBlock;
    }
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double nsPerFrame = frames > 0 ? cpu * 1e9 / static_cast<double>(frames) : 0.0;
    state.counters["ns_per_frame"] = nsPerFrame;
    state.counters["target_ns"] = targetNs;
    state.counters["realtime"] = nsPerFrame > 0.0 ? 1e9 / (nsPerFrame * kSampleRate) : 0.0;
    state.SetItemsProcessed(frames);
}

/// Leaves a machine at its settings from creation.
constexpr auto kAsCreated = [](auto&) {};

/// A machine with "Line In" at port 0, made with args, given its settings by
/// setup and driven block by block.
template <typename Machine, typename Setup, typename... Args>
void RunLineEffect(benchmark::State& state, double targetNs, Setup setup, Args... args)
{
    CBenchHost host;
    auto machine = std::make_unique<Machine>(&host, args...);
    setup(*machine);
    const std::vector<double> left = NoiseBlock(1);
    const std::vector<double> right = NoiseBlock(2);
    CAudioBuffer* in = machine->ports[Machine::kLineInPort]->audio;
    RunPerFrame(
        state, targetNs, [&] { Fill(in, left, right); }, [&] { machine->Work(); });
}

void BM_RedoRuviz(benchmark::State& state)
{
    const double factorValue = state.range(0) / 4.0;
    RunLineEffect<CRedoRuvizFilter>(
        state, 25.0,
        [factorValue](CRedoRuvizFilter& filter) {
            filter.SetParameter(CRedoRuvizFilter::kOversamplingParameter, factorValue);
        },
        nullptr);
}

void BM_DovoDorez(benchmark::State& state)
{
    RunLineEffect<CEcho>(state, 200.0, kAsCreated);
}

/// All four taps' LFOs sweeping the loop filters: each tap designs its
/// filter every sample, once for both its lines. No target: for comparison.
void BM_DovoDorezLfo(benchmark::State& state)
{
    RunLineEffect<CEcho>(state, 0.0, [](CEcho& echo) {
        for (int tap = 0; tap < CEcho::kTaps; ++tap)
            echo.SetParameter(CEcho::ParameterIndex(tap, CEcho::kLfoAmount), 0.5);
    });
}

void BM_DavarorOdir(benchmark::State& state)
{
    RunLineEffect<CDavarorOdir>(state, 1500.0, kAsCreated);
}

void BM_Mixer8Tracks(benchmark::State& state)
{
    CBenchHost host;
    auto mixer = std::make_unique<CMixer>(&host);
    std::vector<std::vector<double>> blocks;
    for (std::uint32_t seed = 1; seed <= 2 * CMixer::kTracks; ++seed)
        blocks.push_back(NoiseBlock(seed));
    auto refill = [&] {
        for (int track = 0; track < CMixer::kTracks; ++track) {
            const auto t = static_cast<std::size_t>(track);
            Fill(mixer->ports[CMixer::TrackInputPort(track)]->audio, blocks[2 * t], blocks[2 * t + 1]);
        }
    };
    auto process = [&] {
        mixer->Work();
        // The engine adds each loop's effect output into its return between
        // the two passes.
        for (int loop = 0; loop < CMixer::kAuxLoops; ++loop) {
            const auto l = static_cast<std::size_t>(loop);
            Fill(mixer->ports[CMixer::ReturnPort(loop)]->audio, blocks[l], blocks[l + 1]);
        }
        mixer->WorkReturns();
    };
    RunPerFrame(state, 120.0, refill, process);
}

} // namespace

BENCHMARK(BM_RedoRuviz)->DenseRange(0, 4)->ArgName("factor_index");
BENCHMARK(BM_Mixer8Tracks);
BENCHMARK(BM_DovoDorez);
BENCHMARK(BM_DovoDorezLfo);
BENCHMARK(BM_DavarorOdir);

BENCHMARK_MAIN();
