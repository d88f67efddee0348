#include "tests/project/ProjectDescription.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "framework/Connection.h"
#include "framework/Machine.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"

namespace project_test {

namespace {

int IndexOf(const std::vector<CMachineContainer*>& machines, const CMachineContainer* machine)
{
    return static_cast<int>(std::find(machines.begin(), machines.end(), machine) - machines.begin());
}

int PortOf(const CConnector* connector)
{
    const auto& connectors = connector->owner->connectors;
    return static_cast<int>(std::find(connectors.begin(), connectors.end(), connector) - connectors.begin());
}

std::string StateOf(CMachine* machine)
{
    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    machine->SaveState(&data, &length, &hostFormat);
    std::ostringstream text;
    text << "flag " << hostFormat << " bytes";
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < length; ++i)
        text << ' ' << static_cast<int>(bytes[i]);
    std::free(data);
    return text.str();
}

} // namespace

std::string DescribeProject(CProject& project)
{
    std::ostringstream out;
    out.precision(17);
    out << "tempo " << project.host.GetTempo() << " tpb " << project.host.GetTicksPerBeat() << '\n';
    const std::vector<CMachineContainer*>& machines = project.studio.Containers();
    out << "master " << IndexOf(machines, project.studio.MasterContainer()) << '\n';
    for (CMachineContainer* machine : machines) {
        out << "machine '" << machine->GetName() << "' " << machine->identifier << " at " << machine->x << ','
            << machine->y << " gui " << static_cast<int>(machine->guiMode) << " state " << StateOf(machine->machine)
            << '\n';
        for (std::size_t port = 0; port < machine->connectors.size(); ++port) {
            for (const CConnection* cable : machine->connectors[port]->connections)
                out << "  cable from " << IndexOf(machines, cable->source->owner) << ':' << PortOf(cable->source)
                    << " to port " << port << " gain " << cable->volume << '\n';
        }
    }
    const CPatternEditor& patterns = project.patternEditor;
    for (int i = 0; i < patterns.PatternCount(); ++i) {
        const CPattern& pattern = *patterns.PatternAt(i);
        out << "pattern " << i << " '" << pattern.Name() << "' length " << pattern.Length() << " target "
            << IndexOf(machines, pattern.Target()->owner) << ':' << PortOf(pattern.Target()) << '\n';
        for (const CNote* note = pattern.FirstNote(); note != nullptr; note = note->next)
            out << "  note " << note->start << ' ' << note->length << ' ' << note->note << '\n';
        for (int t = 0; t < pattern.ControlTrackCount(); ++t) {
            const CControlTrack& track = *pattern.ControlTrack(t);
            out << "  track " << track.PropertyId() << ':';
            for (int p = 0; p < track.PointCount(); ++p)
                out << ' ' << static_cast<int>(track.Point(p).set) << '/' << track.Point(p).value;
            out << '\n';
        }
    }
    const CSequence& song = project.sequenceEditor.Sequence();
    out << "song length " << song.Length() << '\n';
    for (int t = 0; t < song.TrackCount(); ++t) {
        const CSequenceTrack& track = *song.Track(t);
        out << "song track " << IndexOf(machines, track.Target()->owner) << ':' << PortOf(track.Target()) << ':';
        for (const auto& entry : track.Entries())
            out << ' ' << entry->position << '=' << patterns.PositionOf(entry->pattern);
        out << '\n';
    }
    out << "notes '" << project.notes << "'\n";
    return out.str();
}

} // namespace project_test
