#pragma once
// CStudioCommands: the project commands of the main window and tool bar
// (new, open, save, save as) with their dialogs, and the project given on
// the command line when the studio starts. Each command shows its failure
// in the "Corvane" message box and ends there.
//
// Two failures are softened so that no work is lost: a file that cannot be
// read leaves the project that was open before (it is kept in a scratch
// file while the new one is read), and a failed Save As keeps the previous
// path, so the title and the next Save still name a file that exists.
//
// Threads: user-interface thread.

#include <functional>
#include <string>

class CApplication;
class CFileChooser;
class CMessageSink;

class CStudioCommands {
public:
    CStudioCommands(CApplication& application, CFileChooser& chooser, CMessageSink& messages);

    /// The question asked when a start finds the recovery file.
    static constexpr const char* kRecoveryQuestion =
        "Corvane Studio was not closed properly last time. Open the work it saved automatically?";

    /// Each asks "Save changes to %s?" first when there are unsaved changes.
    void NewProject();
    void OpenProject();
    /// Save As when the project has no file yet.
    void SaveProject();
    void SaveProjectAs();

    /// With unsaved changes: "Save changes to %s?" (the file's name, or
    /// "Untitled"). True when the project may go: saved, discarded, or
    /// nothing to lose; false for Cancel or a save that did not happen.
    bool ConfirmDiscard();
    std::string SaveQuestion() const;
    /// After a save: the history's saved step, and no recovery file.
    void Saved();
    /// The clean end of the program: the recovery file goes.
    void Exited();
    /// When the recovery file of a run that ended badly is there: asks, and
    /// opens it (true) or removes it (false).
    bool OfferRecovery();

    /// The recovery file is offered first (see OfferRecovery); without
    /// one, the project of the command line: surrounding double quotes are
    /// removed and the file is read; the project keeps no path, so the title
    /// stays "Corvane Studio" and Save asks for a name. An empty line, or a
    /// file that cannot be read (after its message), gives a new project.
    void OpenStartProject(const std::string& commandLine);
    /// "\"x\"" -> "x"; anything else unchanged.
    static std::string StripQuotes(const std::string& commandLine);

    /// Reads a file, keeping the current project when it fails. Throws the
    /// read's CError after the current project is back.
    void OpenKeepingCurrent(const std::string& path);

    /// The window title after the last command.
    std::string Title() const;
    /// Called after every command, whatever its outcome, so the window can
    /// show the title, the tempo fields and the notes of what is now open.
    void SetChangeHandler(std::function<void()> handler) { changed = std::move(handler); }

private:
    /// Runs a command, shows its CError, then reports the change.
    void Attempt(const std::function<void()>& command);

    CApplication& application;
    CFileChooser& chooser;
    CMessageSink& messages;
    std::function<void()> changed;
};
