// Saving and reading a large project: 100 machines (the master and 99
// instruments, each cabled to the master) and 1000 patterns of 64 units
// with four control tracks and 32 notes each, all placed in the song.
//
// Reported per benchmark: ms per save or read (the real time of one
// iteration), the file size, and limit_ms, the 200 ms each may take.
// Reading includes making the machines and their worker threads; the
// clearing before each read is not timed.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "machines/BuiltinMachines.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/StudioPlayback.h"

namespace {

constexpr int kMachines = 100;
constexpr int kPatterns = 1000;
constexpr int kPatternUnits = 64;
constexpr int kParameters = 8;
constexpr double kLimitMs = 200.0;

class CBenchInstrument : public CMachine {
public:
    explicit CBenchInstrument(CHost* host) : CMachine(host)
    {
        ports = new CPort*[2];
        ports[0] = new CPort(host, this, kPortControl | kPortInput, "Control In");
        ports[1] = new CPort(host, this, kPortAudio | kPortOutput | kPortStereo, "Line Out");
        portCount = 2;
        parameterCount = kParameters;
    }
    ~CBenchInstrument() override
    {
        delete ports[0];
        delete ports[1];
        delete[] ports;
    }
    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return true; }
    double GetParameter(int index) override { return index * 0.1; }
};

class CBenchInstrumentInfo : public CMachineInfo {
public:
    explicit CBenchInstrumentInfo(CHost* host) : host(host)
    {
        name = "Bench Instrument";
        identifier = "CorvPlug::Bench Instrument";
    }
    CMachine* CreateMachine() override { return new CBenchInstrument(host); }

private:
    CHost* host;
};

/// The objects of a project, as the application owns them.
struct CBenchProject {
    CBenchProject()
    {
        host.SetRegistry(&registry);
        RegisterBuiltinMachines(host, registry);
        registry.Register(new CBenchInstrumentInfo(&host));
        InstallPlayback(studio, patternEditor, sequenceEditor);
    }
    ~CBenchProject() { studio.Clear(); }

    void Build()
    {
        NewProject(project);
        CMachineInfo* instrument = registry.FindByIdentifier("CorvPlug::Bench Instrument");
        CConnector* masterIn = studio.MasterContainer()->connectors[0];
        sequenceEditor.SetLength(CSequence::kMaximumLength);
        for (int m = 1; m < kMachines; ++m) {
            CMachineContainer* machine = AddProjectMachine(project, instrument, m * 10, m * 5);
            studio.Connect(machine->connectors[1], masterIn, 0.5);
        }
        const CSequence& song = sequenceEditor.Sequence();
        for (int p = 0; p < kPatterns; ++p) {
            CMachineContainer* machine = studio.Containers()[static_cast<std::size_t>(1 + p % (kMachines - 1))];
            patternEditor.SelectMachine(machine);
            patternEditor.SetPatternLength(kPatternUnits);
            CPattern* pattern = patternEditor.AddPattern();
            for (int property : {-1, 0, 3, 7}) {
                CControlTrack& track = *pattern->ControlTrack(pattern->AddControlTrack(property));
                for (int tick = 0; tick < pattern->TickCount(); tick += 3)
                    track.SetPoint(tick, 0.25f);
            }
            for (int n = 0; n < 32; ++n)
                pattern->AddNote(n * 8, 4, 36 + n % 48);
            const int track = song.IndexOfTrack(song.FindTrack(machine->connectors[0]));
            sequenceEditor.PlaceEntry(track, (p / (kMachines - 1)) * kPatternUnits, pattern);
        }
        project.notes = "A large project for the benchmark.";
    }

    CCorvHost host{256, 44100, 0};
    CMachineRegistry registry;
    CPatternEditor patternEditor{host};
    CSequenceEditor sequenceEditor{host, patternEditor};
    CStudio studio{host};
    CProject project{host, registry, studio, patternEditor, sequenceEditor};
};

std::string ScratchFile()
{
    return (std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(::getpid()) + ".cvx"))
        .string();
}

void SaveProjectBench(benchmark::State& state)
{
    CBenchProject bench;
    bench.Build();
    const std::string file = ScratchFile();
    for (auto _ : state)
        WriteProject(bench.project, file);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
    state.counters["limit_ms"] = kLimitMs;
    std::filesystem::remove(file);
}

void ReadProjectBench(benchmark::State& state)
{
    CBenchProject bench;
    bench.Build();
    const std::string file = ScratchFile();
    WriteProject(bench.project, file);
    for (auto _ : state) {
        state.PauseTiming();
        ClearProject(bench.project);
        state.ResumeTiming();
        ReadProject(bench.project, file);
    }
    if (bench.patternEditor.PatternCount() != kPatterns || bench.studio.Containers().size() != kMachines)
        state.SkipWithError("the project did not read back whole");
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
    state.counters["limit_ms"] = kLimitMs;
    std::filesystem::remove(file);
}

} // namespace

BENCHMARK(SaveProjectBench)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(ReadProjectBench)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK_MAIN();
