#include "tests/app/BadInputProjects.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "app/Application.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "sequencing/ControlTrack.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/Sequence.h"
#include "sequencing/SequenceEditor.h"

namespace {

constexpr int kSongUnits = 8;   // half a bar at 16 ticks per beat: 1 s at 120 BPM

CConnector* FirstPort(CMachineContainer* container, bool input, bool audio)
{
    for (CConnector* connector : container->connectors) {
        if (connector->IsInput() == input && connector->IsAudio() == audio && !connector->IsAuxiliary())
            return connector;
    }
    return nullptr;
}

void WriteNotes(CPattern& pattern, const CMachine& machine)
{
    for (int tick = 0, step = 0; tick + 2 <= pattern.TickCount(); tick += 2, ++step) {
        const int note = machine.triggerCount > 0 ? step % machine.triggerCount : 36 + (step * 7) % 48;
        pattern.AddNote(tick, 2, note);
    }
}

std::int32_t Int32At(const std::vector<unsigned char>& bytes, std::size_t at)
{
    if (at + 4 > bytes.size())
        throw std::runtime_error("project cut short");
    std::int32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

} // namespace

void WriteEveryMachineProject(const std::string& path, double cableGain)
{
    CApplication application;
    CApplication::Settings settings;
    settings.saveOptions = false;
    settings.startAudio = false;
    settings.plugInFolder = PLUGIN_FOLDER;
    application.Init(settings);
    CProject& project = application.Project();
    NewProject(project);
    application.ChangeTempo(120.0);
    application.ChangeTicksPerBeat(16.0);

    CStudio& studio = application.Studio();
    CConnector* masterIn = FirstPort(studio.MasterContainer(), true, true);
    std::vector<CMachineContainer*> instruments;
    std::vector<CMachineContainer*> effects;
    int x = 0;
    for (const auto& entry : application.Registry()) {
        if (std::strcmp(entry->descriptor->identifier, "Master") == 0)
            continue;
        CMachineContainer* container = AddProjectMachine(project, entry->descriptor, 40 + x, 40 + x);
        x += 10;
        if (container == nullptr)
            continue;
        if (container->machine->IsInstrument())
            instruments.push_back(container);
        else if (FirstPort(container, true, true) != nullptr && FirstPort(container, false, true) != nullptr)
            effects.push_back(container);
    }
    for (CMachineContainer* instrument : instruments) {
        CConnector* out = FirstPort(instrument, false, true);
        if (out == nullptr)
            continue;
        studio.Connect(out, masterIn, cableGain);
        for (CMachineContainer* effect : effects)
            studio.Connect(out, FirstPort(effect, true, true), cableGain);
    }
    for (CMachineContainer* effect : effects)
        studio.Connect(FirstPort(effect, false, true), masterIn, cableGain);

    CPatternEditor& patterns = application.PatternEditor();
    CSequenceEditor& song = application.SequenceEditor();
    song.SetLength(kSongUnits);
    for (CMachineContainer* instrument : instruments) {
        CConnector* control = FirstPort(instrument, true, false);
        if (control == nullptr)
            continue;
        patterns.SelectMachine(instrument);
        patterns.SelectPort(control);
        patterns.SetPatternLength(kSongUnits);
        CPattern* pattern = patterns.AddPattern();
        WriteNotes(*pattern, *instrument->machine);
        if (instrument->machine->parameterCount > 0) {
            CControlTrack* track = pattern->ControlTrack(pattern->AddControlTrack(0));
            for (int tick = 0; tick < pattern->TickCount(); tick += 4)
                track->SetPoint(tick, (tick % 8) == 0 ? 1.0f : 0.0f);
        }
        const CSequence& sequence = song.Sequence();
        song.PlaceEntry(sequence.IndexOfTrack(sequence.FindTrack(control)), 0, pattern);
    }
    SaveProjectAs(project, path);
}

ProjectLayout ParseProjectLayout(const std::vector<unsigned char>& bytes)
{
    ProjectLayout layout;
    std::size_t at = 14;   // header and ticks per beat
    const std::int32_t count = Int32At(bytes, at);
    at += 4;
    for (std::int32_t i = 0; i < count; ++i) {
        ProjectLayout::Machine machine;
        machine.record = at;
        machine.type = std::string(reinterpret_cast<const char*>(bytes.data() + at + 1024));
        machine.stateLength = Int32At(bytes, at + 2060);
        machine.state = at + 2065;
        at = machine.state + static_cast<std::size_t>(machine.stateLength);
        layout.machines.push_back(machine);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        at += 4 + static_cast<std::size_t>(Int32At(bytes, at));   // connections
        const std::size_t blockEnd = at + 4 + static_cast<std::size_t>(Int32At(bytes, at));
        const std::int32_t patterns = Int32At(bytes, at + 4);
        std::size_t pattern = at + 8;
        for (std::int32_t p = 0; p < patterns; ++p) {
            layout.patternNames.push_back(pattern + 8);
            const std::int32_t notes = Int32At(bytes, pattern + 1032);
            const std::int32_t tracks = Int32At(bytes, pattern + 1036);
            pattern += 1048 + 12 * static_cast<std::size_t>(notes);
            for (std::int32_t t = 0; t < tracks; ++t)
                pattern += 8 + 6 * static_cast<std::size_t>(Int32At(bytes, pattern + 4));
        }
        at = blockEnd;
    }
    return layout;
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
