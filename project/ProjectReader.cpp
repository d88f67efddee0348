#include "project/ProjectReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "framework/Error.h"
#include "framework/LittleEndian.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "project/ByteReader.h"
#include "project/Project.h"
#include "project/ProjectFileIO.h"
#include "project/ProjectFileSource.h"
#include "project/ProjectFormat.h"
#include "framework/ScopedLock.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/StudioPlayback.h"

namespace fmt = project_format;

namespace {

float FloatAt(const unsigned char* bytes)
{
    const auto bits = static_cast<std::uint32_t>(ReadLittleEndianInt32(bytes));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

/// A name field: up to its first zero, or all of it without one.
std::string TextField(const unsigned char* field)
{
    const auto* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, fmt::kNameField));
}

/// Which ticks each note number already covers, so that stored notes are
/// checked against the placement rule without comparing every pair.
class CNoteOccupancy {
public:
    CNoteOccupancy(int numbers, int ticks)
        : numbers(numbers), ticks(ticks), cells(static_cast<std::size_t>(numbers) * static_cast<std::size_t>(ticks))
    {
    }

    bool TryPlace(int start, int length, int note)
    {
        if (note < 0 || note >= numbers || length < 1 || start < 0 || start >= ticks || length > ticks - start)
            return false;
        auto first = cells.begin() + static_cast<std::ptrdiff_t>(note) * ticks + start;
        if (std::any_of(first, first + length, [](bool covered) { return covered; }))
            return false;
        std::fill(first, first + length, true);
        return true;
    }

private:
    int numbers;
    int ticks;
    std::vector<bool> cells;
};

class CProjectReader {
public:
    CProjectReader(CProject& project, const unsigned char* data, std::size_t size, const std::string& path)
        : project(project), path(path), in(data, size, &this->path)
    {
    }
    CProjectReader(CProject& project, CProjectFileSource& source, const std::string& path)
        : project(project), path(path), in(source, &this->path)
    {
    }

    void Read();

private:
    void ReadHeader();
    void ReadMachineRecord();
    CMachineContainer* CreateMachine(CMachineInfo* descriptor, const std::string& name, int x, int y,
                                     const unsigned char* state, int stateLength, bool hostFormat);
    void ReadConnections();
    void ReadPatterns();
    void ReadPattern(CByteReader& block);
    void ReadNotesOf(CPattern& pattern, const unsigned char* notes, int count);
    void ReadTrackOf(CPattern& pattern, std::int32_t propertyId, const unsigned char* points, int count);
    void ReadSequence();
    void ReadNotes();
    CConnector* ConnectorAt(std::int32_t machineIndex, std::int32_t portIndex) const;

    CProject& project;
    std::string path;
    CByteReader in;
    int version = 0;
    int notesFlag = 0;
    std::vector<CMachineContainer*> machines;   // by file index; null where the type is missing
    std::unordered_map<std::int32_t, CPattern*> patternsByIndex;
};

void CProjectReader::Read()
{
    project.notes.clear();
    ReadHeader();
    const std::int32_t machineCount = in.ReadCount(fmt::kMachineRecordBytes);
    for (std::int32_t i = 0; i < machineCount; ++i)
        ReadMachineRecord();
    for (std::int32_t i = 0; i < machineCount; ++i) {
        ReadConnections();
        ReadPatterns();
    }
    ReadSequence();
    if (fmt::HasNotes(version, notesFlag))
        ReadNotes();
}

void CProjectReader::ReadHeader()
{
    const unsigned char* magic = in.ReadBytes(sizeof fmt::kMagic);
    if (std::memcmp(magic, fmt::kMagic, sizeof fmt::kMagic) != 0)
        in.Corrupt();
    version = static_cast<std::int8_t>(in.ReadByte());
    if (version > fmt::kVersion)
        throw CError("File '%s' Has Incompatible Version Number", path.c_str());
    notesFlag = in.ReadByte();
    const float tempo = in.ReadFloat();
    const double ticksPerBeat = version > 3 ? static_cast<double>(in.ReadFloat()) : fmt::kDefaultTicksPerBeat;

    // The tool bar offers 1 … 1200 and 1 … 64; outside them a tick would
    // have no length or no end.
    CScopedLock<CMutex> hold(project.studio.Lock());
    project.host.SetTempoLimited(static_cast<double>(tempo));
    project.host.SetTicksPerBeatLimited(ticksPerBeat);
}

void CProjectReader::ReadMachineRecord()
{
    const unsigned char* fixed = in.ReadBytes(fmt::kMachineRecordBytes);
    const std::int32_t stateLength = ReadLittleEndianInt32(fixed + fmt::kMachineStateLengthOffset);
    if (stateLength < 0)
        in.Corrupt();
    const unsigned char* state = in.ReadBytes(static_cast<std::size_t>(stateLength));

    std::string name = TextField(fixed + fmt::kMachineNameOffset);
    const std::string type = TextField(fixed + fmt::kMachineTypeOffset);
    // The synthesizer's old name, kept for the files that carry it here.
    if (name == "CorvPlug::KV Moravox")
        name = "CorvPlug::KV RazuZuri";

    CMachineInfo* descriptor = project.registry.FindByIdentifier(type.c_str(), name.c_str());
    CMachineContainer* machine = nullptr;
    if (descriptor != nullptr)
        machine = CreateMachine(descriptor, name, ReadLittleEndianInt32(fixed + fmt::kMachineXOffset),
                                ReadLittleEndianInt32(fixed + fmt::kMachineYOffset), state, stateLength,
                                fixed[fmt::kMachineStateFlagOffset] != 0);
    if (machine == nullptr) {
        if (project.reporter)
            project.reporter(MissingMachineMessage(name));
    } else {
        machine->guiMode = static_cast<GuiMode>(ReadLittleEndianInt32(fixed + fmt::kMachineGuiModeOffset));
        AddMachineToEditors(project.patternEditor, project.sequenceEditor, machine);
    }
    machines.push_back(machine);
}

CMachineContainer* CProjectReader::CreateMachine(CMachineInfo* descriptor, const std::string& name, int x, int y,
                                                 const unsigned char* state, int stateLength, bool hostFormat)
{
    const void* block = stateLength > 0 ? state : nullptr;
    CStudio& studio = project.studio;
    // The studio takes a master only as its own creation; the stored one
    // is then placed and given its state like any other machine.
    if (name == "Master" && descriptor->name != nullptr && std::strcmp(descriptor->name, "Master") == 0) {
        CMachineContainer* master = studio.CreateMaster(project.registry);
        master->MoveTo(x, y);
        if (block != nullptr)
            master->machine->LoadState(block, stateLength, hostFormat);
        return master;
    }
    CMachine* machine = descriptor->CreateMachine();
    if (machine == nullptr)
        return nullptr;
    return studio.AddMachine(machine, descriptor, name.c_str(), std::max(0, x), std::max(0, y), block, stateLength,
                             hostFormat);
}

CConnector* CProjectReader::ConnectorAt(std::int32_t machineIndex, std::int32_t portIndex) const
{
    if (machineIndex < 0 || static_cast<std::size_t>(machineIndex) >= machines.size())
        return nullptr;
    const CMachineContainer* machine = machines[static_cast<std::size_t>(machineIndex)];
    if (machine == nullptr || portIndex < 0 || static_cast<std::size_t>(portIndex) >= machine->connectors.size())
        return nullptr;
    return machine->connectors[static_cast<std::size_t>(portIndex)];
}

void CProjectReader::ReadConnections()
{
    const std::int32_t blockLength = in.ReadInt32();
    if (blockLength < 0)
        in.Corrupt();
    CByteReader block = in.ReadBlock(static_cast<std::size_t>(blockLength));
    const int recordBytes = fmt::ConnectionBytes(version);
    const std::int32_t count = block.ReadCount(static_cast<std::size_t>(recordBytes));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t sourceMachine = block.ReadInt32();
        const std::int32_t sourcePort = block.ReadInt32();
        const std::int32_t targetMachine = block.ReadInt32();
        const std::int32_t targetPort = block.ReadInt32();
        double gain = 1.0;
        if (version >= 3)
            gain = block.ReadDouble();
        else if (version == 2)
            gain = static_cast<double>(block.ReadFloat());
        // A gain that is not a number would silence everything after it.
        if (!std::isfinite(gain))
            gain = 1.0;

        CConnector* output = ConnectorAt(sourceMachine, sourcePort);
        CConnector* input = ConnectorAt(targetMachine, targetPort);
        // The studio's connect rule decides the rest (kinds, one machine,
        // existing cables, cycles).
        if (output != nullptr && input != nullptr && output->IsOutput() && input->IsInput())
            project.studio.Connect(output, input, gain);
    }
}

void CProjectReader::ReadPatterns()
{
    const std::int32_t blockLength = in.ReadInt32();
    if (blockLength < 0)
        in.Corrupt();
    CByteReader block = in.ReadBlock(static_cast<std::size_t>(blockLength));
    const std::int32_t count = block.ReadCount(fmt::kPatternHeaderBytes);
    for (std::int32_t i = 0; i < count; ++i)
        ReadPattern(block);
}

void CProjectReader::ReadPattern(CByteReader& block)
{
    const unsigned char* header = block.ReadBytes(fmt::kPatternHeaderBytes);
    const std::int32_t index = ReadLittleEndianInt32(header + fmt::kPatternIndexOffset);
    const std::int32_t length = ReadLittleEndianInt32(header + fmt::kPatternLengthOffset);
    const std::string name = TextField(header + fmt::kPatternNameOffset);
    const std::int32_t noteCount = ReadLittleEndianInt32(header + fmt::kPatternNoteCountOffset);
    const std::int32_t trackCount = ReadLittleEndianInt32(header + fmt::kPatternTrackCountOffset);
    const std::int32_t machineIndex = ReadLittleEndianInt32(header + fmt::kPatternMachineOffset);
    const std::int32_t portIndex = ReadLittleEndianInt32(header + fmt::kPatternPortOffset);
    if (length < CPattern::kMinimumLength || length > CPattern::kMaximumLength || noteCount < 0 || trackCount < 0 ||
        static_cast<std::size_t>(noteCount) > block.Remaining() / fmt::kNoteBytes)
        block.Corrupt();
    const unsigned char* notes = block.ReadBytes(static_cast<std::size_t>(noteCount) * fmt::kNoteBytes);

    // Without its port a pattern could never be shown, played or saved; it
    // is read past and left out.
    CConnector* target = ConnectorAt(machineIndex, portIndex);
    if (target != nullptr && !(target->IsControl() && target->IsInput()))
        target = nullptr;
    std::unique_ptr<CPattern> pattern;
    if (target != nullptr) {
        pattern = std::make_unique<CPattern>(&project.host, length, name, target);
        ReadNotesOf(*pattern, notes, noteCount);
    }
    for (std::int32_t t = 0; t < trackCount; ++t) {
        const std::int32_t propertyId = block.ReadInt32();
        const std::int32_t pointCount = block.ReadCount(fmt::kPointBytes);
        const unsigned char* points = block.ReadBytes(static_cast<std::size_t>(pointCount) * fmt::kPointBytes);
        if (pattern != nullptr)
            ReadTrackOf(*pattern, propertyId, points, pointCount);
    }
    if (pattern == nullptr)
        return;
    pattern->SetIndex(index);
    CPattern* adopted = project.patternEditor.AdoptPattern(std::move(pattern));
    patternsByIndex.emplace(index, adopted);
}

void CProjectReader::ReadNotesOf(CPattern& pattern, const unsigned char* notes, int count)
{
    if (count == 0)
        return;
    const int numbers = pattern.TriggerCount() > 0 ? pattern.TriggerCount() : CPattern::kMidiNoteCount;
    CNoteOccupancy occupancy(numbers, pattern.TickCount());
    for (int i = 0; i < count; ++i) {
        const unsigned char* note = notes + static_cast<std::size_t>(i) * fmt::kNoteBytes;
        const std::int32_t start = ReadLittleEndianInt32(note);
        const std::int32_t length = ReadLittleEndianInt32(note + 4);
        const std::int32_t number = ReadLittleEndianInt32(note + 8);
        // A note outside the pattern or on top of another of its number
        // could only come from a damaged file; it is left out.
        if (occupancy.TryPlace(start, length, number))
            pattern.AddNote(start, length, number);
    }
}

void CProjectReader::ReadTrackOf(CPattern& pattern, std::int32_t propertyId, const unsigned char* points, int count)
{
    const CMachine* machine = pattern.TargetMachine();
    const int parameters = machine != nullptr ? machine->parameterCount : 0;
    // Only the velocity and parameters the machine has, once each: events
    // for other indexes would reach a machine that cannot take them.
    if (propertyId < CControlTrack::kVelocityId || propertyId >= parameters ||
        pattern.FindControlTrack(propertyId) >= 0)
        return;
    CControlTrack& track = *pattern.ControlTrack(pattern.AddControlTrack(propertyId));
    const int applied = std::min(count, track.PointCount());
    for (int i = 0; i < applied; ++i) {
        const unsigned char* stored = points + static_cast<std::size_t>(i) * fmt::kPointBytes;
        float value = FloatAt(stored);
        if (!std::isfinite(value))
            value = 0.0f;
        CControlPoint& point = track.Point(i);
        point.value = std::clamp(value, 0.0f, 1.0f);
        point.set = stored[4] != 0 ? 1 : 0;
    }
}

void CProjectReader::ReadSequence()
{
    const std::int32_t blockLength = in.ReadInt32();
    if (blockLength < 0)
        in.Corrupt();
    CByteReader block = in.ReadBlock(static_cast<std::size_t>(blockLength));
    const std::int32_t length = block.ReadInt32();
    const std::int32_t trackCount = block.ReadCount(8);
    CSequenceEditor& sequence = project.sequenceEditor;
    sequence.SetLength(std::clamp(length, CSequence::kMinimumLength, CSequence::kMaximumLength));

    // Each entry goes to the track of its own pattern's port. In a file
    // whose machines all loaded that is the stored track's place; with a
    // machine missing, matching tracks by their order would shift every
    // later machine's entries onto another port (and drop the last ones).
    const CSequence& song = sequence.Sequence();
    for (std::int32_t k = 0; k < trackCount; ++k) {
        block.ReadInt32();   // the port index, which the patterns tell better
        const std::int32_t entryCount = block.ReadCount(fmt::kEntryBytes);
        for (std::int32_t e = 0; e < entryCount; ++e) {
            const std::int32_t position = block.ReadInt32();
            const std::int32_t patternIndex = block.ReadInt32();
            const auto found = patternsByIndex.find(patternIndex);
            if (found == patternsByIndex.end())
                continue;
            CPattern* pattern = found->second;
            sequence.PlaceEntry(song.IndexOfTrack(song.FindTrack(pattern->Target())), position, pattern);
        }
    }
}

void CProjectReader::ReadNotes()
{
    const std::int32_t length = in.ReadInt32();
    if (length <= 0)
        return;
    const auto* text = reinterpret_cast<const char*>(in.ReadBytes(static_cast<std::size_t>(length)));
    project.notes.assign(text, strnlen(text, static_cast<std::size_t>(length)));
}

} // namespace

std::string MissingMachineMessage(const std::string& instanceName)
{
    return CError("Machine of name \"%s\" could not be loaded.\r\nIf you save the project the machine's settings, "
                  "connections, and patterns (if any) will be lost.",
                  instanceName.c_str())
        .Message();
}

void ReadProjectData(CProject& project, const unsigned char* data, std::size_t size, const std::string& path)
{
    const CEditJournal::CPause quiet(project.studio.Journal());
    CProjectReader(project, data, size, path).Read();
}

void ReadProject(CProject& project, const std::string& path)
{
    const CEditJournal::CPause quiet(project.studio.Journal());
    CProjectFileSource source(path);
    CProjectReader(project, source, path).Read();
}
