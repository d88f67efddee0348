#include "project/UndoHistory.h"

#include <algorithm>

#include "framework/Error.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"

namespace {

/// The editors' choices, by what survives a new reading: the machine's
/// name, positions in lists.
struct Choices {
    std::string machineName;
    int portIndex = -1;
    int patternPosition = -1;
    int property = -1;
    int trackIndex = -1;
};

Choices Remember(const CProject& project)
{
    Choices kept;
    const CPatternEditor& patterns = project.patternEditor;
    if (CMachineContainer* machine = patterns.ChosenMachine()) {
        kept.machineName = machine->GetName();
        const std::vector<CConnector*> ports = patterns.PortChoices();
        const auto port = std::find(ports.begin(), ports.end(), patterns.ChosenPort());
        kept.portIndex = port != ports.end() ? static_cast<int>(port - ports.begin()) : -1;
    }
    kept.patternPosition = patterns.PositionOf(patterns.CurrentPattern());
    kept.property = patterns.ChosenProperty();
    kept.trackIndex = project.sequenceEditor.SelectedTrackIndex();
    return kept;
}

void Reapply(CProject& project, const Choices& kept)
{
    CPatternEditor& patterns = project.patternEditor;
    for (CMachineContainer* machine : patterns.Machines()) {
        if (machine->GetName() != kept.machineName)
            continue;
        patterns.SelectMachine(machine);
        const std::vector<CConnector*> ports = patterns.PortChoices();
        if (kept.portIndex >= 0 && kept.portIndex < static_cast<int>(ports.size()))
            patterns.SelectPort(ports[static_cast<std::size_t>(kept.portIndex)]);
        CPattern* pattern = patterns.PatternAt(kept.patternPosition);
        const std::vector<CPattern*> choices = patterns.PatternChoices();
        if (pattern != nullptr && std::find(choices.begin(), choices.end(), pattern) != choices.end())
            patterns.SelectPattern(pattern);
        break;
    }
    patterns.SelectProperty(kept.property);
    if (kept.trackIndex >= 0)
        project.sequenceEditor.SelectTrack(kept.trackIndex);
}

} // namespace

CUndoHistory::CUndoHistory(CProject& project) : project(project)
{
    states.push_back({});
}

void CUndoHistory::Reset(bool saved)
{
    states.clear();
    states.push_back({"", EncodeProject(project), {}, ++generation});
    position = 0;
    savedPosition = saved ? 0 : -1;
    stepsSinceTaken = 0;
}

bool CUndoHistory::Record(const std::string& label, CInPlaceStep step)
{
    std::vector<unsigned char> bytes = EncodeProject(project);
    if (bytes == Current())
        return false;
    // A new edit after undoing drops the steps that could have been redone.
    states.erase(states.begin() + position + 1, states.end());
    if (savedPosition > position)
        savedPosition = -1;
    states.push_back({label, std::move(bytes), std::move(step), generation});
    ++position;
    ++stepsSinceTaken;
    ++recorded;
    while (position > kMaxSteps) {
        states.pop_front();
        --position;
        savedPosition = savedPosition > 0 ? savedPosition - 1 : -1;
    }
    return true;
}

std::string CUndoHistory::UndoLabel() const
{
    return CanUndo() ? states[static_cast<std::size_t>(position)].label : std::string();
}

std::string CUndoHistory::RedoLabel() const
{
    return CanRedo() ? states[static_cast<std::size_t>(position + 1)].label : std::string();
}

void CUndoHistory::Undo()
{
    Record("Edit");
    if (CanUndo())
        GoTo(position - 1);
}

void CUndoHistory::Redo()
{
    // Stray changes would be lost by reading the next step; kept as a step
    // of their own, they end the redo chain instead.
    if (Record("Edit") || !CanRedo())
        return;
    GoTo(position + 1);
}

int CUndoHistory::TakeStepCount()
{
    const int steps = stepsSinceTaken;
    stepsSinceTaken = 0;
    return steps;
}

void CUndoHistory::GoTo(int target)
{
    if (!GoInPlace(target))
        Reload(target);
    position = target;
    ++stepsSinceTaken;
}

bool CUndoHistory::GoInPlace(int target)
{
    const bool back = target == position - 1;
    if (!back && target != position + 1)
        return false;
    const State& edit = states[static_cast<std::size_t>(back ? position : target)];
    if (edit.step.Empty() || edit.generation != generation)
        return false;
    {
        const CEditJournal::CPause quiet(project.studio.Journal());
        (back ? edit.step.undo : edit.step.redo)();
    }
    // Exact or not at all: what differs is read back whole.
    return EncodeProject(project) == states[static_cast<std::size_t>(target)].bytes;
}

void CUndoHistory::Reload(int target)
{
    const State& state = states[static_cast<std::size_t>(target)];
    CEditJournal& journal = project.studio.Journal();
    const Choices kept = Remember(project);
    const std::string path = project.path;
    // The bytes were written by this program a moment ago; a machine type
    // they name is registered, so nothing is reported while reading.
    const CProject::Reporter reporter = std::move(project.reporter);
    project.reporter = nullptr;
    journal.Pause();
    ++generation;
    try {
        ClearProject(project);
        ReadProjectData(project, state.bytes.data(), state.bytes.size(), path);
        // The file lists patterns by machine; the step had them in the
        // order they were made, which its indexes still tell.
        project.patternEditor.SortPatternsByIndex();
    } catch (const CError&) {
        project.path = path;
        project.reporter = reporter;
        journal.Resume();
        throw;
    }
    project.path = path;
    project.reporter = reporter;
    ++reloads;
    Reapply(project, kept);
    journal.Resume();
}
