// The main window's side of undo: the Edit menu, the unsaved marker in the
// title, the save questions before work would go, and autosave's recovery
// after the program was killed.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>

#include "app/Application.h"
#include "editors/StudioView.h"
#include "framework/Machine.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "host/CorvHost.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/RecoveryFile.h"
#include "project/UndoHistory.h"
#include "tests/editors/mainwindow/StudioRig.h"

using namespace mainwindow_test;

namespace {

std::string Text(QAction* action)
{
    return action->text().toStdString();
}

} // namespace

TEST(UndoWindow, EditMenuSitsBetweenFileAndViewAndNamesTheStep)
{
    CStudioRig rig;
    CMainWindow& window = *rig.window;
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_GE(menus.size(), 4);
    EXPECT_EQ(menus[0]->text().toStdString(), "&File");
    EXPECT_EQ(menus[1]->text().toStdString(), "&Edit");
    EXPECT_EQ(menus[2]->text().toStdString(), "&View");
    QAction* undo = window.Action(CMainWindow::kUndo);
    QAction* redo = window.Action(CMainWindow::kRedo);
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    const double tempo = rig.application.Host().GetTempo();
    rig.application.ChangeTempo(133);
    EXPECT_EQ(Text(undo), "&Undo Change Tempo");
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(rig.application.Host().GetTempo(), tempo);
    EXPECT_EQ(Text(redo), "&Redo Change Tempo");
    EXPECT_FALSE(undo->isEnabled());
    redo->trigger();
    EXPECT_EQ(rig.application.Host().GetTempo(), 133.0);

    // The menu open, as the user sees it.
    window.resize(700, 300);
    window.show();
    window.EditMenu()->popup(window.mapToGlobal(window.menuBar()->actionGeometry(menus[1]).bottomLeft()));
    ProcessEventsUntil([&] { return window.EditMenu()->isVisible(); }, 2000);
    QPixmap shot = window.grab(QRect(0, 0, 420, 160));
    {
        QPainter painter(&shot);
        painter.drawPixmap(window.menuBar()->actionGeometry(menus[1]).bottomLeft(), window.EditMenu()->grab());
    }
    std::filesystem::create_directories(CORVANE_SCREENSHOT_DIR);
    EXPECT_TRUE(shot.save(QStringLiteral(CORVANE_SCREENSHOT_DIR "/edit-menu.png")));
    window.EditMenu()->hide();
}

// A knob turned in a machine's own editor reaches the host as a parameter
// notification; it is a step of its own and goes back in place.
TEST(UndoWindow, OwnEditorKnobIsAStepUndoneInPlace)
{
    CStudioRig rig;
    // The studio page, whose view hears the machines' notifications.
    rig.window->InstallPage(CMainWindow::kStudioPage, new CStudioView(rig.application.Studio(), rig.application.Registry()));
    CUndoHistory& history = rig.application.History();
    OpenProject(rig.application.Project(), BUNDLED_DEMO);
    history.Reset(true);
    CMachineContainer* box = rig.application.Studio().FindByName("KV Zazud 1");
    ASSERT_NE(box, nullptr);
    CMachine* machine = box->machine;
    const double before = machine->GetParameter(0);
    const double turned = before > 0.5 ? 0.25 : 0.75;
    machine->SetParameterNotify(0, turned);
    rig.application.Studio().Journal().Finish();   // the mouse went up
    EXPECT_EQ(history.UndoLabel(), "Change Parameter");
    const long reloads = history.Reloads();
    rig.window->Action(CMainWindow::kUndo)->trigger();
    EXPECT_EQ(machine->GetParameter(0), before);
    rig.window->Action(CMainWindow::kRedo)->trigger();
    EXPECT_EQ(machine->GetParameter(0), turned);
    EXPECT_EQ(history.Reloads(), reloads);
    EXPECT_EQ(rig.application.Studio().FindByName("KV Zazud 1"), box);
}

TEST(UndoWindow, TitleMarksUnsavedChangesUntilSavedOrUndoneToTheSave)
{
    CStudioRig rig;
    CMainWindow& window = *rig.window;
    const std::string path = rig.folder + "/demo.cvx";
    rig.chooser.answers.push_back(path);
    window.Command(CMainWindow::kSaveProjectAs);
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Studio - demo.cvx");
    rig.application.ChangeTicksPerBeat(8);
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Studio - demo.cvx *");
    window.Command(CMainWindow::kSaveProject);
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Studio - demo.cvx");
    window.Command(CMainWindow::kUndo);
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Studio - demo.cvx *");
    window.Command(CMainWindow::kRedo);
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Studio - demo.cvx");
}

// Each command that would drop the work asks first; Cancel keeps it, Save
// writes it, Discard lets it go.
TEST(UndoWindow, NewOpenAndExitAskToSaveChanges)
{
    CStudioRig rig;
    CMainWindow& window = *rig.window;
    CUndoHistory& history = rig.application.History();
    const std::string path = rig.folder + "/work.cvx";
    rig.chooser.answers.push_back(path);
    window.Command(CMainWindow::kSaveProjectAs);
    const auto written = std::filesystem::last_write_time(path);

    rig.application.ChangeTempo(101);
    rig.messages.saveAnswers = {SaveChoice::Cancel};
    window.Command(CMainWindow::kNewProject);
    ASSERT_EQ(rig.messages.asked, (std::vector<std::string>{"Save changes to work.cvx?"}));
    EXPECT_EQ(rig.application.Host().GetTempo(), 101.0);
    EXPECT_TRUE(history.IsModified());

    rig.messages.saveAnswers = {SaveChoice::Cancel};
    window.Command(CMainWindow::kExit);
    EXPECT_EQ(rig.messages.asked.size(), 2u);
    EXPECT_TRUE(history.IsModified());

    // Open: Save writes the work, then the chosen file opens.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    rig.messages.saveAnswers = {SaveChoice::Save};
    rig.chooser.answers.push_back(DemoPath());
    window.Command(CMainWindow::kOpenProject);
    EXPECT_EQ(rig.messages.asked.size(), 3u);
    EXPECT_GT(std::filesystem::last_write_time(path), written);
    EXPECT_EQ(rig.application.Project().path, DemoPath());
    EXPECT_FALSE(history.IsModified());
    EXPECT_FALSE(history.CanUndo());

    // Nothing to lose: no question.
    window.Command(CMainWindow::kNewProject);
    EXPECT_EQ(rig.messages.asked.size(), 3u);
    rig.application.ChangeTempo(99);
    rig.messages.saveAnswers = {SaveChoice::Discard};
    window.Command(CMainWindow::kNewProject);
    EXPECT_EQ(rig.messages.asked.back(), "Save changes to Untitled?");
    EXPECT_FALSE(history.IsModified());
}

// The child of the next test: edits until autosave has written, says so,
// then waits to be killed.
TEST(UndoWindow, AutosavingChild)
{
    const char* recovery = std::getenv("CORVANE_UNDO_CHILD_RECOVERY");
    if (recovery == nullptr)
        GTEST_SKIP() << "run by UndoWindow.KilledProgramsWorkIsOfferedAtTheNextStart";
    RigOptions options;
    options.recoveryPath = recovery;
    CStudioRig rig(options);
    for (int step = 0; step < CApplication::kAutosaveSteps; ++step)
        rig.application.ChangeTempo(60 + step);
    rig.application.Recovery()->Wait();
    ASSERT_EQ(rig.application.Recovery()->WritesDone(), 1);
    std::printf("AUTOSAVED\n");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

TEST(UndoWindow, KilledProgramsWorkIsOfferedAtTheNextStart)
{
    const std::string folder = MakeScratchFolder();
    const std::string recovery = folder + "/state/Corvane Studio/recovery.cvx";
    int output[2];
    ASSERT_EQ(::pipe(output), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(output[1], 1);
        ::close(output[0]);
        ::setenv("CORVANE_UNDO_CHILD_RECOVERY", recovery.c_str(), 1);
        ::execl("/proc/self/exe", "mainwindow_test", "--gtest_filter=UndoWindow.AutosavingChild", nullptr);
        ::_exit(127);
    }
    ::close(output[1]);
    std::string said;
    char buffer[256];
    for (ssize_t n; said.find("AUTOSAVED") == std::string::npos && (n = ::read(output[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(n));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(output[0]);
    ASSERT_NE(said.find("AUTOSAVED"), std::string::npos) << said;
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(std::filesystem::exists(recovery));

    // The next start asks, and opens the work as unsaved and nameless.
    RigOptions options;
    options.recoveryPath = recovery;
    options.recover = true;
    {
        CStudioRig rig(options);
        ASSERT_EQ(rig.messages.asked.size(), 1u);
        EXPECT_EQ(rig.messages.asked[0], CStudioCommands::kRecoveryQuestion);
        EXPECT_EQ(rig.application.Host().GetTempo(), 60.0 + CApplication::kAutosaveSteps - 1);
        EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio *");
        EXPECT_TRUE(rig.application.Project().path.empty());
        // A clean exit takes the recovery file away.
        rig.window->Commands().Exited();
        EXPECT_FALSE(std::filesystem::exists(recovery));
    }
    std::filesystem::remove_all(folder);
}
