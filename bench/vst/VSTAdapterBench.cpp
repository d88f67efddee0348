// bench_vst: what hosting a VST 2 plug-in costs per block, and what the
// scan adds to the program's start.
//
// The adapter's Work around a pass-through plug-in (events, float
// conversion, the call) against, in the same run, the plug-in's
// processReplacing called directly, and that call with the same float
// conversion done by hand. The adapter's own share is its time minus the
// converted direct call; the limit is 0.5 us per block.
//
// Then the scan of /usr/lib/vst: once with an empty cache (every file
// examined in a helper process), once more with the cache it wrote, as a
// later start does; the later start may add at most 50 ms.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchHost.h"
#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "plugins/vst/VSTAdapter.h"
#include "plugins/vst/VSTAdapterInfo.h"
#include "plugins/vst/VSTScanner.h"
#include "platform/DynamicLibrary.h"

namespace {

bench::CBenchHost host;

struct Rig {
    Rig()
    {
        info = new CVSTAdapterInfo(&host, "PassThrough.so", "", PASS_THROUGH_PLUGIN, VSTEntryKind::PluginMain,
                                   0x50415353);
        adapter = static_cast<CVSTAdapter*>(info->CreateMachine());
    }
    ~Rig()
    {
        ReleaseMachine(adapter);
        delete info;
    }
    CVSTAdapterInfo* info;
    CVSTAdapter* adapter;
};

Rig& SharedRig()
{
    static Rig rig;
    return rig;
}

void SetFrames(int frames)
{
    CVSTAdapter* adapter = SharedRig().adapter;
    adapter->ResizePortBuffers(frames);
    adapter->SetBlockSize(frames);
}

void BM_DirectCall(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    SetFrames(frames);
    vst::AEffect* effect = SharedRig().adapter->Effect();
    std::vector<float> in[2] = {std::vector<float>(frames, 0.25f), std::vector<float>(frames, -0.25f)};
    std::vector<float> out[2] = {std::vector<float>(frames), std::vector<float>(frames)};
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    for (auto _ : state) {
        effect->processReplacing(effect, inputs, outputs, frames);
        benchmark::DoNotOptimize(outputs[0][0]);
        benchmark::ClobberMemory();
    }
}

void BM_DirectCallWithConversion(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    SetFrames(frames);
    vst::AEffect* effect = SharedRig().adapter->Effect();
    std::vector<double> in64[2] = {std::vector<double>(frames, 0.25), std::vector<double>(frames, -0.25)};
    std::vector<double> out64[2] = {std::vector<double>(frames), std::vector<double>(frames)};
    std::vector<float> in[2] = {std::vector<float>(frames), std::vector<float>(frames)};
    std::vector<float> out[2] = {std::vector<float>(frames), std::vector<float>(frames)};
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < frames; ++s)
                inputs[c][s] = static_cast<float>(in64[c][static_cast<std::size_t>(s)]);
        effect->processReplacing(effect, inputs, outputs, frames);
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < frames; ++s)
                out64[c][static_cast<std::size_t>(s)] = outputs[c][s];
        benchmark::DoNotOptimize(out64[0][0]);
        benchmark::ClobberMemory();
    }
}

void BM_Adapter(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    const int events = static_cast<int>(state.range(1));
    SetFrames(frames);
    CVSTAdapter* adapter = SharedRig().adapter;
    CControlBuffer* control = adapter->ports[0]->control;
    const ControlEvent on = MakeControlEvent(kEventNoteOn, 0, 60, 0.8, 261.6);
    const ControlEvent off = MakeControlEvent(kEventNoteOff, frames / 2, 60, 0.0);
    for (auto _ : state) {
        for (int e = 0; e < events; e += 2) {
            control->Insert(&on);
            control->Insert(&off);
        }
        adapter->Work();
        benchmark::DoNotOptimize(adapter->ports[2]->audio->left[0]);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_DirectCall)->Arg(64)->Arg(256);
BENCHMARK(BM_DirectCallWithConversion)->Arg(64)->Arg(256);
BENCHMARK(BM_Adapter)->Args({64, 0})->Args({256, 0})->Args({64, 2})->Args({256, 2});

/// Keeps each run's processor time per iteration in ns, by name.
class CCollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            cpuNs[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> cpuNs;
};

double ScanSeconds(const std::string& cache)
{
    CCorvHost corvHost(512, 44100, 0);
    CMachineRegistry registry;
    VSTScanSettings settings;
    settings.folders = {"/usr/lib/vst"};
    settings.cachePath = cache;
    settings.examine.helperPath = VST_SCANNER;
    const double start = bench::ThreadCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    const VSTScanReport report = ScanVstFolders(settings, &corvHost, &registry);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("  %d files, %d registered, %d failed, %d examined: %.3f s wall, %.3f s processor (this thread)\n",
                static_cast<int>(report.files.size()), report.registered, report.failed, report.examined, wall,
                bench::ThreadCpuSeconds() - start);
    return wall;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CCollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int frames : {64, 256}) {
        const std::string f = std::to_string(frames);
        const double direct = reporter.cpuNs["BM_DirectCall/" + f];
        const double converted = reporter.cpuNs["BM_DirectCallWithConversion/" + f];
        const double adapter = reporter.cpuNs["BM_Adapter/" + f + "/0"];
        const double withEvents = reporter.cpuNs["BM_Adapter/" + f + "/2"];
        std::printf("%d frames: direct %.0f ns, direct + conversion %.0f ns, adapter %.0f ns (%.0f ns with two "
                    "events): adapter's own %.3f us per block (limit 0.5 us), %.3f us with events\n",
                    frames, direct, converted, adapter, withEvents, (adapter - converted) / 1000.0,
                    (withEvents - converted) / 1000.0);
    }

    if (!std::filesystem::exists("/usr/lib/vst")) {
        std::printf("/usr/lib/vst: not there, no scan measured\n");
        return 0;
    }
    char folder[] = "/tmp/corvane-bench-vst-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return 1;
    const std::string cache = std::string(folder) + "/vst-cache.json";
    std::printf("Scan of /usr/lib/vst, first start (empty cache):\n");
    ScanSeconds(cache);
    std::printf("Scan of /usr/lib/vst, later start (cached):\n");
    const double cached = ScanSeconds(cache);
    std::printf("later start adds %.1f ms (limit 50 ms)\n", cached * 1000.0);
    std::filesystem::remove_all(folder);
    return 0;
}
