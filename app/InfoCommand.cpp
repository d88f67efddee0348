#include "app/InfoCommand.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "app/Application.h"
#include "app/TextBytes.h"
#include "framework/Connection.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "sequencing/ControlTrack.h"
#include "sequencing/Note.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/Sequence.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/SequenceTrack.h"

using nlohmann::json;

namespace {

// Machine texts are C buffers of unstated size; these are generous.
constexpr int kTextBuffer = 1024;

/// Adds "<key>Bytes", the exact bytes escaped, beside a text that is not
/// UTF-8 (the text itself is shown with its bad sequences replaced).
void KeepExactBytes(json& object, const char* key, const std::string& text)
{
    if (!IsValidUtf8(text))
        object[std::string(key) + "Bytes"] = EscapedBytes(text);
}

int IndexOf(const std::vector<CMachineContainer*>& containers, const CMachineContainer* container)
{
    const auto found = std::find(containers.begin(), containers.end(), container);
    return found == containers.end() ? -1 : static_cast<int>(found - containers.begin());
}

/// {"machine": index, "port": name} of a connector.
json PortReference(const std::vector<CMachineContainer*>& containers, const CConnector* connector)
{
    if (connector == nullptr)
        return nullptr;
    const CPort* port = connector->port;
    const char* portName = port->name;
    return json{{"machine", IndexOf(containers, connector->owner)}, {"port", portName != nullptr ? portName : ""}};
}

json Parameters(CMachine& machine)
{
    json list = json::array();
    const int count = machine.parameterCount;
    for (int i = 0; i < count; ++i) {
        char name[kTextBuffer] = "";
        char text[kTextBuffer] = "";
        machine.GetParameterName(i, name);
        const double value = machine.GetParameter(i);
        machine.FormatParameter(i, value, text);
        list.push_back({{"index", i}, {"name", name}, {"value", value}, {"text", text}});
    }
    return list;
}

json Machines(const std::vector<CMachineContainer*>& containers)
{
    json list = json::array();
    for (std::size_t i = 0; i < containers.size(); ++i) {
        CMachineContainer* container = containers[i];
        json machine{{"index", static_cast<int>(i)},
                     {"name", container->GetName()},
                     {"type", container->identifier},
                     {"x", container->x},
                     {"y", container->y},
                     {"guiMode", static_cast<int>(container->guiMode)},
                     {"parameters", Parameters(*container->machine)}};
        KeepExactBytes(machine, "name", container->GetName());
        KeepExactBytes(machine, "type", container->identifier);
        list.push_back(std::move(machine));
    }
    return list;
}

json Connections(const std::vector<CMachineContainer*>& containers)
{
    json list = json::array();
    for (const CMachineContainer* container : containers) {
        for (const CConnector* connector : container->connectors) {
            for (const CConnection* connection : connector->connections) {
                list.push_back({{"source", PortReference(containers, connection->source)},
                                {"destination", PortReference(containers, connector)},
                                {"gain", connection->volume}});
            }
        }
    }
    return list;
}

json Patterns(const std::vector<CMachineContainer*>& containers, const CPatternEditor& editor)
{
    json list = json::array();
    for (int position = 0; position < editor.PatternCount(); ++position) {
        const CPattern* pattern = editor.PatternAt(position);
        json notes = json::array();
        for (const CNote* note = pattern->FirstNote(); note != nullptr; note = note->next)
            notes.push_back({note->start, note->length, note->note});
        json tracks = json::array();
        for (int t = 0; t < pattern->ControlTrackCount(); ++t) {
            const CControlTrack* track = pattern->ControlTrack(t);
            json points = json::array();
            for (int tick = 0; tick < track->PointCount(); ++tick) {
                if (track->IsSet(tick))
                    points.push_back({tick, track->Point(tick).value});
            }
            tracks.push_back({{"property", track->PropertyId()}, {"points", points}});
        }
        json entry{{"index", position},
                   {"name", pattern->Name()},
                   {"length", pattern->Length()},
                   {"target", PortReference(containers, pattern->Target())},
                   {"notes", notes},
                   {"controlTracks", tracks}};
        KeepExactBytes(entry, "name", pattern->Name());
        list.push_back(std::move(entry));
    }
    return list;
}

json Song(const std::vector<CMachineContainer*>& containers, const CPatternEditor& patterns,
          const CSequenceEditor& editor)
{
    const CSequence& sequence = editor.Sequence();
    json tracks = json::array();
    for (int t = 0; t < sequence.TrackCount(); ++t) {
        const CSequenceTrack* track = sequence.Track(t);
        json entries = json::array();
        for (const auto& entry : track->Entries())
            entries.push_back({entry->position, patterns.PositionOf(entry->pattern)});
        tracks.push_back({{"target", PortReference(containers, track->Target())}, {"entries", entries}});
    }
    return json{{"length", sequence.Length()}, {"tracks", tracks}};
}

} // namespace

std::string ProjectInfoJson(CApplication& application, const std::vector<std::string>& warnings)
{
    const std::vector<CMachineContainer*>& containers = application.Studio().Containers();
    json info;
    info["version"] = 4;
    info["tempo"] = application.Host().GetTempo();
    info["ticksPerBeat"] = application.Host().GetTicksPerBeat();
    info["machines"] = Machines(containers);
    info["connections"] = Connections(containers);
    info["patterns"] = Patterns(containers, application.PatternEditor());
    info["sequence"] = Song(containers, application.PatternEditor(), application.SequenceEditor());
    info["notes"] = application.Project().notes;
    KeepExactBytes(info, "notes", application.Project().notes);
    info["warnings"] = warnings;
    // Every text is bytes from the file; one that is not UTF-8 is shown
    // with U+FFFD in place of each bad sequence.
    return info.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
