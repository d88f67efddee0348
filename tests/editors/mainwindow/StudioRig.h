#pragma once
// The main window's tests run the program's own start-up: a real
// application (options of the test's own, the stock library loaded) with
// its main window, and dialogs answered by the test. Windows are on Qt's
// offscreen platform.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "gui/DialogServices.h"
#include "editors/MainWindow.h"

namespace mainwindow_test {

/// Answers the file dialogs from a queue (nothing queued: the user
/// cancelled) and remembers what each dialog was asked.
class CScriptedChooser : public CFileChooser {
public:
    std::optional<std::string> ChooseOpenPath(const std::string& filter, const std::string& extension) override;
    std::optional<std::string> ChooseSavePath(const std::string& filter, const std::string& extension) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;

    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;   // "open <filter> <ext>", "save ...", "folder <title>"

private:
    std::optional<std::string> Next();
};

class CRecordingSink : public CMessageSink {
public:
    void ShowError(const std::string& text) override { shown.push_back(text); }
    /// Answers from the queues; nothing queued: Discard, and no.
    SaveChoice AskSaveChanges(const std::string& text) override
    {
        asked.push_back(text);
        if (saveAnswers.empty())
            return SaveChoice::Discard;
        const SaveChoice answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    bool AskYesNo(const std::string& text) override
    {
        asked.push_back(text);
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    std::deque<SaveChoice> saveAnswers;
    std::deque<bool> yesNoAnswers;
};

struct RigOptions {
    bool audio = false;
    int driver = 0;   // 0 null, 1 Wave Out
    std::function<void(const std::string&)> status;
    std::function<void(const std::string&)> audioFailure;
    /// Autosave's file; "" for no autosave.
    std::string recoveryPath;
    /// The answer to the recovery question at start, when it is asked.
    bool recover = false;
};

/// Options of a rig that plays through a driver (0 null, 1 Wave Out, 2 ASIO).
inline RigOptions PlayingThrough(int driver)
{
    RigOptions options;
    options.audio = true;
    options.driver = driver;
    return options;
}

/// The application and its main window, as RunStudio builds them.
class CStudioRig {
public:
    explicit CStudioRig(RigOptions options = {});
    ~CStudioRig();

    CScriptedChooser chooser;
    CRecordingSink messages;
    std::string folder;   // scratch folder of this rig
    // Destroyed after the application, as in the program.
    std::unique_ptr<CMainWindow> window;
    CApplication application;
};

/// A scratch folder, removed with the rig.
std::string MakeScratchFolder();
/// The bundled demo project.
std::string DemoPath();
/// Runs the event loop until done() or the bound (ms) passes.
bool ProcessEventsUntil(const std::function<bool()>& done, int boundMs);

} // namespace mainwindow_test
