#include "app/StudioCommands.h"

#include <vector>

#include "app/Application.h"
#include "gui/DialogServices.h"
#include "framework/Error.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"

CStudioCommands::CStudioCommands(CApplication& application, CFileChooser& chooser, CMessageSink& messages)
    : application(application), chooser(chooser), messages(messages)
{
}

void CStudioCommands::Attempt(const std::function<void()>& command)
{
    try {
        command();
    } catch (const CError& error) {
        messages.ShowError(error.Message());
    }
    if (changed)
        changed();
}

void CStudioCommands::NewProject()
{
    Attempt([this] { ::NewProject(application.Project()); });
}

void CStudioCommands::OpenProject()
{
    const auto path = chooser.ChooseOpenPath(kProjectFilter, kProjectExtension);
    if (!path)
        return;
    Attempt([this, &path] { OpenKeepingCurrent(*path); });
}

void CStudioCommands::OpenKeepingCurrent(const std::string& path)
{
    CProject& project = application.Project();
    // Reading starts from a cleared project, so a file that turns out to be
    // unreadable would take the user's open work with it. The current
    // project is encoded first and read back when the new one fails.
    const std::vector<unsigned char> kept = EncodeProject(project);
    const std::string keptPath = project.path;
    try {
        ::OpenProject(project, path);
    } catch (const CError&) {
        const CProject::Reporter reporter = std::move(project.reporter);
        project.reporter = nullptr;
        ClearProject(project);
        ReadProjectData(project, kept.data(), kept.size(), keptPath);
        project.path = keptPath;
        project.reporter = reporter;
        throw;
    }
}

void CStudioCommands::SaveProject()
{
    if (application.Project().path.empty()) {
        SaveProjectAs();
        return;
    }
    Attempt([this] { ::SaveProject(application.Project()); });
}

void CStudioCommands::SaveProjectAs()
{
    const auto path = chooser.ChooseSavePath(kProjectFilter, kProjectExtension);
    if (!path)
        return;
    Attempt([this, &path] {
        CProject& project = application.Project();
        const std::string previous = project.path;
        try {
            ::SaveProjectAs(project, *path);
        } catch (const CError&) {
            project.path = previous;
            throw;
        }
    });
}

std::string CStudioCommands::StripQuotes(const std::string& commandLine)
{
    if (commandLine.size() >= 2 && commandLine.front() == '"' && commandLine.back() == '"')
        return commandLine.substr(1, commandLine.size() - 2);
    return commandLine;
}

void CStudioCommands::OpenStartProject(const std::string& commandLine)
{
    const std::string path = StripQuotes(commandLine);
    if (path.empty()) {
        NewProject();
        return;
    }
    bool opened = false;
    Attempt([this, &path, &opened] {
        ::OpenProject(application.Project(), path);
        opened = true;
    });
    // The studio always has a project open: a start file that could not be
    // read gives an empty one instead of ending the program.
    if (!opened)
        NewProject();
    else
        application.Project().path.clear();
    if (changed)
        changed();
}

std::string CStudioCommands::Title() const
{
    return application.WindowTitle();
}
