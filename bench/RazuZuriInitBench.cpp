// The stock library's start-up: CorvPlugInit on the built stockpack.so,
// loaded afresh for every call (so that its tables are built every time),
// and for comparison what building the step table at start would cost
// without the resource.
//
// Reported: time per CorvPlugInit (target_ms: 50); fresh_load is 1 when
// each call really met a freshly loaded library.

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include "bench/BenchHost.h"
#include "framework/MachineInfo.h"
#include "framework/PlugInit.h"
#include "stockpack/dsp/BandLimitedStep.h"

namespace {

/// Receives the descriptors and gives them back at once, so that the
/// library can be unloaded after each call.
class CReleasingHost final : public bench::CBenchHost {
public:
    int RegisterMachineInfo(CMachineInfo* info) override
    {
        ++registered;
        info->Release();
        return 0;
    }

    int registered = 0;
};

void BM_CorvPlugInit(benchmark::State& state)
{
    CReleasingHost host;
    bool fresh = true;
    for (auto _ : state) {
        state.PauseTiming();
        void* library = dlopen(CORVANE_STOCKPACK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            state.SkipWithError(dlerror());
            break;
        }
        auto init = reinterpret_cast<CorvPlugInitFunction>(dlsym(library, CORVANE_PLUGIN_ENTRY_NAME));
        state.ResumeTiming();
        init(library, &host);
        state.PauseTiming();
        dlclose(library);
        if (void* still = dlopen(CORVANE_STOCKPACK_LIBRARY, RTLD_NOW | RTLD_NOLOAD)) {
            fresh = false;
            dlclose(still);
        }
        state.ResumeTiming();
    }
    state.counters["target_ms"] = 50.0;
    state.counters["fresh_load"] = fresh ? 1.0 : 0.0;
    state.counters["types"] = static_cast<double>(host.registered) / static_cast<double>(state.iterations());
}

void BM_GenerateStepTableAtStart(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GenerateBandLimitedTable(32, 256, true));
}

} // namespace

BENCHMARK(BM_CorvPlugInit)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_GenerateStepTableAtStart)->Unit(benchmark::kMillisecond);
