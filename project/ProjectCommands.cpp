#include "project/ProjectCommands.h"

#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "framework/Mutex.h"
#include "framework/ScopedLock.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/StudioPlayback.h"

void ClearProject(CProject& project)
{
    project.path.clear();
    project.studio.Journal().Forget();
    // The studio lock keeps the audio thread out for all of it; each editor
    // takes the pattern editor's lock inside for its own part.
    CScopedLock<CMutex> hold(project.studio.Lock());
    project.sequenceEditor.Clear();
    project.patternEditor.Clear();
    project.studio.Clear();
}

void NewProject(CProject& project)
{
    ClearProject(project);
    CMachineContainer* master = project.studio.CreateMaster(project.registry);
    AddMachineToEditors(project.patternEditor, project.sequenceEditor, master);
    project.notes.clear();
}

void OpenProject(CProject& project, const std::string& path)
{
    ClearProject(project);
    project.path = path;
    ReadProject(project, path);
}

bool SaveProject(CProject& project)
{
    if (project.path.empty())
        return false;
    WriteProject(project, project.path);
    return true;
}

void SaveProjectAs(CProject& project, const std::string& path)
{
    project.path = path;
    WriteProject(project, path);
}

std::string ProjectTitle(const CProject& project)
{
    if (project.path.empty())
        return "Corvane Studio";
    const std::size_t slash = project.path.find_last_of('/');
    return "Corvane Studio - " + (slash == std::string::npos ? project.path : project.path.substr(slash + 1));
}

CMachineContainer* AddProjectMachine(CProject& project, CMachineInfo* descriptor, int x, int y)
{
    CMachineContainer* machine = project.studio.CreateMachine(descriptor, x, y);
    if (machine != nullptr)
        AddMachineToEditors(project.patternEditor, project.sequenceEditor, machine);
    return machine;
}
