// Control-event traffic of one block: what pattern playback and the engine
// do to a control port every block. Prints the time per block and, beside
// it, the budget of a 256-sample block at 44.1 kHz for comparison.

#include <benchmark/benchmark.h>

#include "framework/ControlBuffer.h"

namespace {

constexpr int kBlockLength = 256;

void BlockOfEvents(benchmark::State& state)
{
    const int events = static_cast<int>(state.range(0));
    CControlBuffer port;
    CControlBuffer deferred;
    port.Reserve(events * 2);
    deferred.Reserve(events * 2);
    for (auto _ : state) {
        // Pattern playback: notes in the block and note-offs in later blocks.
        for (int i = 0; i < events; ++i) {
            ControlEvent on = MakeControlEvent(kEventNoteOn, (i * 37) % kBlockLength, i % 128, 0.8, 440.0);
            port.Insert(&on);
            ControlEvent off = MakeControlEvent(kEventNoteOff, kBlockLength + (i * 53) % kBlockLength, i % 128, 0.0);
            deferred.Insert(&off);
        }
        deferred.TransferDue(&port, kBlockLength);
        deferred.TransferDue(&port, kBlockLength);
        ControlEvent out;
        while (port.Pop(&out))
            benchmark::DoNotOptimize(out);
    }
    state.counters["budget_us_per_block"] = 1e6 * kBlockLength / 44100.0;
}

} // namespace

BENCHMARK(BlockOfEvents)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
