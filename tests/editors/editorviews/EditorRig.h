#pragma once
// The editor views' tests run the program's own start-up with the three
// editor pages installed as the studio installs them, refreshed from the
// real display thread. Windows are on Qt's offscreen platform.

#include <atomic>
#include <memory>
#include <string>

#include <QPoint>

#include "app/Application.h"
#include "editors/EditorPages.h"
#include "editors/MainWindow.h"
#include "tests/editors/mainwindow/StudioRig.h"

class CMachineContainer;
class CNoteView;
class CPatternEditorPage;
class CSequenceEditorPage;
class QComboBox;

namespace editorviews_test {

class CEditorRig {
public:
    /// audio: the null driver renders in real time and the display thread
    /// runs.
    explicit CEditorRig(bool audio = false);
    ~CEditorRig();

    /// A machine of the type placed in the studio as the Studio page does.
    CMachineContainer* AddMachine(const char* identifier);
    CPatternEditorPage& PatternPage() const { return *pages->PatternPage(); }
    CSequenceEditorPage& SequencePage() const { return *pages->SequencePage(); }
    /// Shows the window on a page, large enough for the views.
    void ShowPage(int index);

    mainwindow_test::CScriptedChooser chooser;
    mainwindow_test::CRecordingSink messages;
    std::string folder;
    // Destroyed after the application, as in the program.
    std::unique_ptr<CMainWindow> window;
    std::unique_ptr<CEditorPages> pages;
    std::atomic<CEditorPages*> livePages{nullptr};
    CApplication application;
};

/// Chooses the entry of a list with that text, as a user's pick does.
bool Choose(QComboBox* list, const QString& text);
/// The middle of a tick's and a row's cell in the roll.
QPoint Cell(const CNoteView& roll, int tick, int row);
/// Runs the event loop until done() or the bound passes.
bool WaitFor(const std::function<bool()>& done, int boundMs);

} // namespace editorviews_test
