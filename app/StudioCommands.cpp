#include "app/StudioCommands.h"

#include <vector>

#include "app/Application.h"
#include "gui/DialogServices.h"
#include "framework/Error.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "project/RecoveryFile.h"
#include "project/UndoHistory.h"

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
    if (!ConfirmDiscard())
        return;
    Attempt([this] {
        ::NewProject(application.Project());
        application.History().Reset(true);
    });
}

void CStudioCommands::OpenProject()
{
    if (!ConfirmDiscard())
        return;
    const auto path = chooser.ChooseOpenPath(kProjectFilter, kProjectExtension);
    if (!path)
        return;
    Attempt([this, &path] {
        OpenKeepingCurrent(*path);
        application.History().Reset(true);
    });
}

std::string CStudioCommands::SaveQuestion() const
{
    const std::string& path = application.Project().path;
    const std::size_t slash = path.find_last_of('/');
    const std::string name = path.empty() ? "Untitled" : slash == std::string::npos ? path : path.substr(slash + 1);
    return "Save changes to " + name + "?";
}

bool CStudioCommands::ConfirmDiscard()
{
    // A drag still under way counts as made.
    application.Studio().Journal().Finish();
    if (!application.History().IsModified())
        return true;
    switch (messages.AskSaveChanges(SaveQuestion())) {
    case SaveChoice::Save:
        SaveProject();
        return !application.History().IsModified();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

void CStudioCommands::Saved()
{
    application.History().MarkSaved();
    // The work is in the user's file now; an older copy would only be
    // offered again after a crash.
    if (CRecoveryFile* recovery = application.Recovery())
        recovery->Remove();
}

void CStudioCommands::Exited()
{
    if (CRecoveryFile* recovery = application.Recovery())
        recovery->Remove();
}

bool CStudioCommands::OfferRecovery()
{
    CRecoveryFile* recovery = application.Recovery();
    if (recovery == nullptr || !recovery->Exists())
        return false;
    if (!messages.AskYesNo(kRecoveryQuestion)) {
        recovery->Remove();
        return false;
    }
    bool opened = false;
    Attempt([this, recovery, &opened] {
        ::OpenProject(application.Project(), recovery->Path());
        opened = true;
    });
    if (!opened)
        return false;
    // The recovered work belongs to no file yet: Save asks for one, and
    // until then it is unsaved (and autosaved again).
    application.Project().path.clear();
    application.History().Reset(false);
    if (changed)
        changed();
    return true;
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
    Attempt([this] {
        application.Studio().Journal().Finish();
        ::SaveProject(application.Project());
        Saved();
    });
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
            application.Studio().Journal().Finish();
            ::SaveProjectAs(project, *path);
            Saved();
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
    if (OfferRecovery())
        return;
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
    application.History().Reset(true);
    if (changed)
        changed();
}

std::string CStudioCommands::Title() const
{
    return application.WindowTitle();
}
