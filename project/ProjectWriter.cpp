#include "project/ProjectWriter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "framework/Connection.h"
#include "framework/Machine.h"
#include "framework/ScopedLock.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "project/ByteWriter.h"
#include "project/Project.h"
#include "project/ProjectFileIO.h"
#include "project/ProjectFormat.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"

namespace fmt = project_format;

namespace {

class CProjectWriter {
public:
    explicit CProjectWriter(CProject& project) : project(project), machines(project.studio.Containers()) {}

    std::vector<unsigned char> Encode();

private:
    void WriteHeader();
    void WriteMachineRecord(CMachineContainer* machine);
    void WriteConnections(CMachineContainer* machine, int machineIndex);
    void WritePatterns(CMachineContainer* machine);
    void WritePattern(const CPattern& pattern);
    void WriteSequence();
    void WriteNotes();
    int PortIndex(const CConnector* connector) const;
    std::size_t BeginBlock();
    void EndBlock(std::size_t lengthPosition);

    CProject& project;
    const std::vector<CMachineContainer*>& machines;
    std::unordered_map<const CMachineContainer*, int> machineIndexes;
    CByteWriter out;
};

std::vector<unsigned char> CProjectWriter::Encode()
{
    for (std::size_t i = 0; i < machines.size(); ++i)
        machineIndexes[machines[i]] = static_cast<int>(i);
    // Every pattern gets its list position, written or not; entries and
    // pattern records refer to these numbers.
    CPatternEditor& patterns = project.patternEditor;
    for (int i = 0; i < patterns.PatternCount(); ++i)
        patterns.PatternAt(i)->SetIndex(i);

    WriteHeader();
    out.WriteInt32(static_cast<std::int32_t>(machines.size()));
    for (CMachineContainer* machine : machines)
        WriteMachineRecord(machine);
    for (std::size_t i = 0; i < machines.size(); ++i) {
        WriteConnections(machines[i], static_cast<int>(i));
        WritePatterns(machines[i]);
    }
    WriteSequence();
    WriteNotes();
    return out.TakeData();
}

void CProjectWriter::WriteHeader()
{
    out.WriteBytes(fmt::kMagic, sizeof fmt::kMagic);
    out.WriteByte(static_cast<std::uint8_t>(fmt::kVersion));
    out.WriteByte(0);
    out.WriteFloat(static_cast<float>(project.host.GetTempo()));
    out.WriteFloat(static_cast<float>(project.host.GetTicksPerBeat()));
}

void CProjectWriter::WriteMachineRecord(CMachineContainer* machine)
{
    out.WriteTextField(machine->GetName(), fmt::kNameField, fmt::kMaximumNameBytes);
    out.WriteTextField(machine->identifier, fmt::kNameField, fmt::kMaximumNameBytes);
    out.WriteInt32(machine->x);
    out.WriteInt32(machine->y);
    out.WriteInt32(static_cast<std::int32_t>(machine->guiMode));

    void* state = nullptr;
    int stateLength = 0;
    bool hostFormat = true;
    // The worker may be rendering; the machine's lock keeps its state whole.
    {
        CScopedLock<CMachine> hold(*machine->machine);
        machine->machine->SaveState(&state, &stateLength, &hostFormat);
    }
    if (state == nullptr || stateLength < 0)
        stateLength = 0;
    out.WriteInt32(stateLength);
    out.WriteByte(hostFormat ? 1 : 0);
    out.WriteBytes(state, static_cast<std::size_t>(stateLength));
    std::free(state);
}

int CProjectWriter::PortIndex(const CConnector* connector) const
{
    const auto& connectors = connector->owner->connectors;
    const auto found = std::find(connectors.begin(), connectors.end(), connector);
    return static_cast<int>(found - connectors.begin());
}

std::size_t CProjectWriter::BeginBlock()
{
    const std::size_t position = out.Position();
    out.WriteInt32(0);
    return position;
}

void CProjectWriter::EndBlock(std::size_t lengthPosition)
{
    out.PatchInt32(lengthPosition, static_cast<std::int32_t>(out.Position() - lengthPosition - 4));
}

void CProjectWriter::WriteConnections(CMachineContainer* machine, int machineIndex)
{
    const std::size_t block = BeginBlock();
    const std::size_t countPosition = out.Position();
    out.WriteInt32(0);
    int count = 0;
    // Each cable belongs to its input, so it is written once: here.
    for (std::size_t port = 0; port < machine->connectors.size(); ++port) {
        const CConnector* input = machine->connectors[port];
        if (!input->IsInput())
            continue;
        for (const CConnection* cable : input->connections) {
            const auto source = machineIndexes.find(cable->source->owner);
            if (source == machineIndexes.end())
                continue;
            out.WriteInt32(source->second);
            out.WriteInt32(PortIndex(cable->source));
            out.WriteInt32(machineIndex);
            out.WriteInt32(static_cast<std::int32_t>(port));
            out.WriteDouble(cable->volume);
            ++count;
        }
    }
    out.PatchInt32(countPosition, count);
    EndBlock(block);
}

void CProjectWriter::WritePatterns(CMachineContainer* machine)
{
    const std::size_t block = BeginBlock();
    const std::size_t countPosition = out.Position();
    out.WriteInt32(0);
    int count = 0;
    const CPatternEditor& patterns = project.patternEditor;
    for (int i = 0; i < patterns.PatternCount(); ++i) {
        const CPattern* pattern = patterns.PatternAt(i);
        if (pattern->Target() != nullptr && pattern->Target()->owner == machine) {
            WritePattern(*pattern);
            ++count;
        }
    }
    out.PatchInt32(countPosition, count);
    EndBlock(block);
}

void CProjectWriter::WritePattern(const CPattern& pattern)
{
    out.WriteInt32(pattern.Index());
    out.WriteInt32(pattern.Length());
    out.WriteTextField(pattern.Name(), fmt::kNameField, fmt::kMaximumNameBytes);
    out.WriteInt32(pattern.NoteCount());
    out.WriteInt32(pattern.ControlTrackCount());
    out.WriteInt32(machineIndexes.at(pattern.Target()->owner));
    out.WriteInt32(PortIndex(pattern.Target()));
    for (const CNote* note = pattern.FirstNote(); note != nullptr; note = note->next) {
        out.WriteInt32(note->start);
        out.WriteInt32(note->length);
        out.WriteInt32(note->note);
    }
    for (int t = 0; t < pattern.ControlTrackCount(); ++t) {
        const CControlTrack& track = *pattern.ControlTrack(t);
        out.WriteInt32(track.PropertyId());
        out.WriteInt32(track.PointCount());
        for (int i = 0; i < track.PointCount(); ++i) {
            out.WriteFloat(track.Point(i).value);
            out.WriteByte(track.Point(i).set != 0 ? 1 : 0);
            out.WriteByte(0);
        }
    }
}

void CProjectWriter::WriteSequence()
{
    const CSequence& sequence = project.sequenceEditor.Sequence();
    const std::size_t block = BeginBlock();
    out.WriteInt32(sequence.Length());
    out.WriteInt32(sequence.TrackCount());
    for (int i = 0; i < sequence.TrackCount(); ++i) {
        const CSequenceTrack& track = *sequence.Track(i);
        out.WriteInt32(PortIndex(track.Target()));
        out.WriteInt32(track.EntryCount());
        for (const auto& entry : track.Entries()) {
            out.WriteInt32(entry->position);
            out.WriteInt32(entry->pattern->Index());
        }
    }
    EndBlock(block);
}

void CProjectWriter::WriteNotes()
{
    const std::size_t length = std::strlen(project.notes.c_str());
    out.WriteInt32(static_cast<std::int32_t>(length + 1));
    out.WriteBytes(project.notes.data(), length);
    out.WriteByte(0);
}

} // namespace

std::vector<unsigned char> EncodeProject(CProject& project)
{
    return CProjectWriter(project).Encode();
}

void WriteProject(CProject& project, const std::string& path)
{
    ReplaceFileContents(path, EncodeProject(project));
}
