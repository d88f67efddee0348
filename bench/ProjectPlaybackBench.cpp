// What playing a project's song and pattern costs the audio thread: one
// block rendered through the studio with the song playing, and the same
// block with it stopped. 99 instruments each play a track of ten entries
// (64-unit patterns with 32 notes and three parameter tracks) while the
// pattern editor loops one more pattern.
//
// Reported: the real time per block, and beside it budget_us, the length
// of a 256-sample block at 44.1 kHz. The playback's share is the difference
// between the two benchmarks.

#include <benchmark/benchmark.h>

#include "drivers/OfflineDriver.h"
#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
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
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/StudioPlayback.h"

namespace {

constexpr int kBlock = 256;
constexpr int kRate = 44100;
constexpr int kInstruments = 99;
constexpr int kEntriesPerTrack = 10;

/// Takes the events it is given and does nothing else.
class CSink : public CMachine {
public:
    explicit CSink(CHost* host) : CMachine(host)
    {
        ports = new CPort*[1];
        ports[0] = new CPort(host, this, kPortControl | kPortInput, "Control In");
        portCount = 1;
        parameterCount = 8;
    }
    ~CSink() override
    {
        delete ports[0];
        delete[] ports;
    }
    void Work() override
    {
        ControlEvent event;
        while (ports[0]->control->Pop(&event))
            ++events;
    }
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return true; }
    long events = 0;
};

class CSinkInfo : public CMachineInfo {
public:
    explicit CSinkInfo(CHost* host) : host(host)
    {
        name = "Sink";
        identifier = "CorvPlug::Sink";
    }
    CMachine* CreateMachine() override { return new CSink(host); }

private:
    CHost* host;
};

struct CPlayingProject {
    CPlayingProject()
    {
        host.SetRegistry(&registry);
        RegisterBuiltinMachines(host, registry);
        registry.Register(new CSinkInfo(&host));
        InstallPlayback(studio, patternEditor, sequenceEditor);
        NewProject(project);
        sequenceEditor.SetLength(CSequence::kMaximumLength);
        const CSequence& song = sequenceEditor.Sequence();
        for (int m = 0; m < kInstruments; ++m) {
            CMachineContainer* machine = AddProjectMachine(project, registry.FindByIdentifier("CorvPlug::Sink"), 0, 0);
            patternEditor.SelectMachine(machine);
            patternEditor.SetPatternLength(64);
            const int track = song.IndexOfTrack(song.FindTrack(machine->connectors[0]));
            for (int e = 0; e < kEntriesPerTrack; ++e) {
                CPattern* pattern = patternEditor.AddPattern();
                for (int n = 0; n < 32; ++n)
                    pattern->AddNote(n * 8, 4, 36 + (n * 7) % 48);
                for (int property : {0, 3, 7}) {
                    CControlTrack& points = *pattern->ControlTrack(pattern->AddControlTrack(property));
                    for (int tick = 0; tick < pattern->TickCount(); tick += 2)
                        points.SetPoint(tick, 0.5f);
                }
                sequenceEditor.PlaceEntry(track, e * 64, pattern);
            }
        }
        patternEditor.SetLoopButton(true);
        patternEditor.SetPlayButton(true);
        sequenceEditor.SetLoop(true);
        driver.SetCallback(AudioCallback{&CStudio::AudioCallback, &studio});
        driver.Start();
    }
    ~CPlayingProject() { studio.Clear(); }

    CCorvHost host{kBlock, kRate, 0};
    CMachineRegistry registry;
    CPatternEditor patternEditor{host};
    CSequenceEditor sequenceEditor{host, patternEditor};
    CStudio studio{host};
    CProject project{host, registry, studio, patternEditor, sequenceEditor};
    COfflineDriver driver{kRate, kBlock, 2};
};

void Render(benchmark::State& state, bool playing)
{
    CPlayingProject bench;
    if (playing)
        bench.sequenceEditor.Play();
    else
        bench.patternEditor.PressStopButton();
    for (auto _ : state)
        bench.driver.Render(1);
    state.counters["budget_us"] = 1e6 * kBlock / kRate;
}

void RenderPlayingSongBench(benchmark::State& state)
{
    Render(state, true);
}

void RenderStoppedSongBench(benchmark::State& state)
{
    Render(state, false);
}

} // namespace

BENCHMARK(RenderPlayingSongBench)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(RenderStoppedSongBench)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_MAIN();
