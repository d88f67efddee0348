// The main window's menu, tool bar, tabs and their commands, on a real
// application with the stock library loaded. Dialogs are answered by the
// test through the window's file chooser and message sink.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/wait.h>

#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include "editors/AboutBox.h"
#include "editors/MainToolBar.h"
#include "editors/OptionsDialog.h"
#include "editors/ProjectInfoView.h"
#include "editors/VolumeSliderView.h"
#include "gui/LiteContainerView.h"
#include "host/CorvHost.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "sequencing/SequenceEditor.h"
#include "tests/editors/mainwindow/StudioRig.h"

using namespace mainwindow_test;

namespace {

struct MenuEntry {
    const char* menu;
    const char* text;
    int id;
};

// Every entry of the menu bar, in order.
const MenuEntry kMenu[] = {
    {"&File", "&New Project", 40017},        {"&File", "&Open Project...", 40018},
    {"&File", "&Save Project", 40019},       {"&File", "Save Project &As...", 40022},
    {"&File", "E&xit", 40001},               {"&View", "&Studio", 40007},
    {"&View", "&Pattern Editor", 40008},     {"&View", "S&equence Editor", 40015},
    {"&View", "&HD Recorder", 40012},        {"&View", "Project &Info", 40010},
    {"&View", "&Options...", 40009},         {"&View", "Sample &Banks...", 0},
    {"&View", "Sample &Analyzer...", 40003}, {"&Help", "&Contents...", 40021},
    {"&Help", "&About...", 40006},
};

std::size_t MachineCount(CStudioRig& rig)
{
    return rig.application.Studio().Containers().size();
}

} // namespace

TEST(MainWindowMenu, EveryEntryHasItsTextAndCommandIdInOrder)
{
    CStudioRig rig;
    std::vector<MenuEntry> found;
    std::vector<std::string> texts;
    for (QMenu* menu : {rig.window->FileMenu(), rig.window->ViewMenu(), rig.window->HelpMenu()})
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                texts.push_back(menu->title().toStdString() + "|" + action->text().toStdString() + "|" +
                                std::to_string(action->data().toInt()));
    std::vector<std::string> expected;
    for (const MenuEntry& entry : kMenu)
        expected.push_back(std::string(entry.menu) + "|" + entry.text + "|" + std::to_string(entry.id));
    EXPECT_EQ(texts, expected);

    // The tabs, in order, with the studio selected.
    QTabWidget* tabs = rig.window->Tabs();
    ASSERT_EQ(tabs->count(), 5);
    const char* names[] = {"Studio", "Pattern Editor", "Sequence Editor", "HD Recorder", "Project Info"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tabs->tabText(i).toStdString(), names[i]);
    EXPECT_EQ(tabs->currentIndex(), 0);

    // The tool bar's tool tips and ranges.
    CMainToolBar* bar = rig.window->ToolBar();
    EXPECT_EQ(bar->height(), 30);
    EXPECT_EQ(bar->NewButton()->toolTip().toStdString(), "New Project");
    EXPECT_EQ(bar->OpenButton()->toolTip().toStdString(), "Open Project");
    EXPECT_EQ(bar->SaveButton()->toolTip().toStdString(), "Save Project");
    EXPECT_EQ(bar->TempoField()->toolTip().toStdString(), "Beats Per Minute");
    EXPECT_EQ(bar->TempoField()->minimum(), 1.0);
    EXPECT_EQ(bar->TempoField()->maximum(), 1200.0);
    EXPECT_EQ(bar->TicksPerBeatField()->toolTip().toStdString(), "Ticks Per Beat");
    EXPECT_EQ(bar->TicksPerBeatField()->minimum(), 1);
    EXPECT_EQ(bar->TicksPerBeatField()->maximum(), 64);
}

TEST(MainWindowMenu, ViewEntriesSelectTabsAndShortcutsReachThem)
{
    CStudioRig rig;
    const int views[] = {CMainWindow::kViewStudio, CMainWindow::kViewPatternEditor, CMainWindow::kViewSequenceEditor,
                         CMainWindow::kViewHDRecorder, CMainWindow::kViewProjectInfo};
    for (int page = 4; page >= 0; --page) {
        rig.window->Action(views[page])->trigger();
        EXPECT_EQ(rig.window->Tabs()->currentIndex(), page);
        EXPECT_EQ(rig.window->Action(views[page])->shortcut().toString().toStdString(),
                  "Ctrl+" + std::to_string(page + 1));
    }
    EXPECT_EQ(rig.window->Action(CMainWindow::kNewProject)->shortcut().toString().toStdString(), "Ctrl+N");
    EXPECT_EQ(rig.window->Action(CMainWindow::kOpenProject)->shortcut().toString().toStdString(), "Ctrl+O");
    EXPECT_EQ(rig.window->Action(CMainWindow::kSaveProject)->shortcut().toString().toStdString(), "Ctrl+S");
    EXPECT_EQ(rig.window->Action(CMainWindow::kSaveProjectAs)->shortcut().toString().toStdString(), "Ctrl+Shift+S");
    EXPECT_EQ(rig.window->Action(CMainWindow::kExit)->shortcut().toString().toStdString(), "Ctrl+Q");
    EXPECT_EQ(rig.window->Action(CMainWindow::kHelpContents)->shortcut().toString().toStdString(), "F1");

    // A bank window's entry lands in the View menu above "Options...".
    int opened = 0;
    QAction* entry = rig.window->AddViewEntry(QStringLiteral("Bank &Explorer"), [&opened] { ++opened; });
    const QList<QAction*> actions = rig.window->ViewMenu()->actions();
    EXPECT_LT(actions.indexOf(entry), actions.indexOf(rig.window->Action(CMainWindow::kOptions)));
    entry->trigger();
    EXPECT_EQ(opened, 1);

    // The bank windows open once each and stay the same windows.
    QAction* banks = rig.window->ViewMenu()->actions().at(rig.window->ViewMenu()->actions().size() - 2);
    banks->trigger();
    banks->trigger();
    rig.window->Command(CMainWindow::kSampleAnalyzer);
    int bankWindows = 0, analyzerWindows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        bankWindows += widget->windowTitle() == QStringLiteral("Sample Banks") ? 1 : 0;
        analyzerWindows += widget->windowTitle() == QStringLiteral("Sample Analyzer") ? 1 : 0;
    }
    EXPECT_EQ(bankWindows, 1);
    EXPECT_EQ(analyzerWindows, 1);

    // A page installed by an editor replaces the placeholder in place.
    auto* page = new QLabel(QStringLiteral("pattern editor"));
    rig.window->InstallPage(CMainWindow::kPatternEditorPage, page);
    EXPECT_EQ(rig.window->Page(CMainWindow::kPatternEditorPage), page);
    EXPECT_EQ(rig.window->Tabs()->tabText(1).toStdString(), "Pattern Editor");
}

TEST(MainWindowMenu, SpacePlaysAndStopsTheSongButTypesInText)
{
    CStudioRig rig;
    rig.window->resize(800, 500);
    rig.window->show();
    rig.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.window.get()));
    CSequenceEditor& song = rig.application.SequenceEditor();

    rig.window->Tabs()->setFocus();
    QTest::keyClick(rig.window->Tabs(), Qt::Key_Space);
    EXPECT_TRUE(song.IsPlayButtonDown());
    QTest::keyClick(rig.window->Tabs(), Qt::Key_Space);
    EXPECT_FALSE(song.IsPlayButtonDown());

    // In the notes a space is a space.
    rig.window->Command(CMainWindow::kViewProjectInfo);
    rig.window->ProjectInfo()->setFocus();
    QTest::keyClicks(rig.window->ProjectInfo(), QStringLiteral("a b"));
    EXPECT_EQ(rig.application.Project().notes, "a b");
    EXPECT_FALSE(song.IsPlayButtonDown());

    // Ctrl+2 through the keyboard reaches the pattern editor's page.
    QTest::keyClick(rig.window.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(rig.window->Tabs()->currentIndex(), CMainWindow::kPatternEditorPage);
}

TEST(ProjectCommands, MenuAndToolBarReachNewOpenSaveAndSaveAsWithTheirTitles)
{
    CStudioRig rig;
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio");

    rig.chooser.answers.push_back(DemoPath());
    rig.window->Action(CMainWindow::kOpenProject)->trigger();
    EXPECT_EQ(rig.chooser.asked.back(), "open Corvane Project (*.cvx) cvx");
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio - demo.cvx");
    EXPECT_GT(MachineCount(rig), 1u);

    const std::string copy = rig.folder + "/my song.cvx";
    rig.chooser.answers.push_back(copy);
    rig.window->Action(CMainWindow::kSaveProjectAs)->trigger();
    EXPECT_EQ(rig.chooser.asked.back(), "save Corvane Project (*.cvx) cvx");
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio - my song.cvx");
    ASSERT_TRUE(std::filesystem::exists(copy));

    // Save with a path writes there without asking.
    std::filesystem::remove(copy);
    const std::size_t asked = rig.chooser.asked.size();
    rig.window->ToolBar()->SaveButton()->click();
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(rig.chooser.asked.size(), asked);
    rig.window->Action(CMainWindow::kSaveProject)->trigger();
    EXPECT_EQ(rig.chooser.asked.size(), asked);

    rig.window->ToolBar()->NewButton()->click();
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio");
    EXPECT_EQ(MachineCount(rig), 1u);

    rig.chooser.answers.push_back(copy);
    rig.window->ToolBar()->OpenButton()->click();
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio - my song.cvx");
    rig.window->Action(CMainWindow::kNewProject)->trigger();
    EXPECT_EQ(MachineCount(rig), 1u);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(ProjectCommands, SaveWithoutAPathAsksForOneAndCancellingChangesNothing)
{
    CStudioRig rig;
    rig.window->Action(CMainWindow::kSaveProject)->trigger();   // cancelled: nothing queued
    EXPECT_EQ(rig.chooser.asked, std::vector<std::string>{"save Corvane Project (*.cvx) cvx"});
    EXPECT_TRUE(rig.application.Project().path.empty());
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio");

    rig.window->Action(CMainWindow::kOpenProject)->trigger();   // cancelled too
    EXPECT_EQ(MachineCount(rig), 1u);
    EXPECT_TRUE(rig.messages.shown.empty());

    rig.chooser.answers.push_back(rig.folder + "/first.cvx");
    rig.window->ToolBar()->SaveButton()->click();
    EXPECT_TRUE(std::filesystem::exists(rig.folder + "/first.cvx"));
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio - first.cvx");
}

TEST(ProjectCommands, AQuotedCommandLinePathOpensTheFileButKeepsTheTitle)
{
    CStudioRig rig;
    rig.window->Commands().OpenStartProject("\"" + DemoPath() + "\"");
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_GT(MachineCount(rig), 1u);
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio");
    // Save asks for a name: the file of the command line is not taken over.
    rig.window->Action(CMainWindow::kSaveProject)->trigger();
    EXPECT_EQ(rig.chooser.asked.back(), "save Corvane Project (*.cvx) cvx");

    // A start file that cannot be read is reported and a new project opens.
    rig.window->Commands().OpenStartProject("\"" + rig.folder + "/missing.cvx\"");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("missing.cvx"), std::string::npos);
    EXPECT_EQ(MachineCount(rig), 1u);
}

TEST(ProjectCommands, AFailingOpenShowsTheMessageAndKeepsTheOpenProject)
{
    CStudioRig rig;
    rig.chooser.answers.push_back(DemoPath());
    rig.window->Command(CMainWindow::kOpenProject);
    rig.application.Project().notes = "verse ideas";
    const std::size_t machines = MachineCount(rig);
    const double tempo = rig.application.Host().GetTempo();

    // A file that is not a project, and one that does not exist.
    const std::string junk = rig.folder + "/junk.cvx";
    std::ofstream(junk) << "this is not a project file at all, just text";
    for (const std::string& path : {junk, rig.folder + "/absent.cvx"}) {
        rig.messages.shown.clear();
        rig.chooser.answers.push_back(path);
        rig.window->Command(CMainWindow::kOpenProject);
        ASSERT_EQ(rig.messages.shown.size(), 1u) << path;
        EXPECT_EQ(MachineCount(rig), machines) << path;
        EXPECT_EQ(rig.application.Project().notes, "verse ideas");
        EXPECT_EQ(rig.application.Host().GetTempo(), tempo);
        EXPECT_EQ(rig.application.Project().path, DemoPath());
        EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio - demo.cvx");
        EXPECT_EQ(rig.window->ProjectInfo()->toPlainText().toStdString(), "verse ideas");
    }
}

TEST(ProjectCommands, AFailingSaveShowsTheMessageAndKeepsThePath)
{
    CStudioRig rig;
    rig.chooser.answers.push_back(DemoPath());
    rig.window->Command(CMainWindow::kOpenProject);
    rig.chooser.answers.push_back(rig.folder + "/no such folder/x.cvx");
    rig.window->Command(CMainWindow::kSaveProjectAs);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("x.cvx"), std::string::npos);
    EXPECT_EQ(rig.application.Project().path, DemoPath());
    EXPECT_EQ(rig.window->windowTitle().toStdString(), "Corvane Studio - demo.cvx");
    EXPECT_GT(MachineCount(rig), 1u);
}

TEST(ProjectInfo, NotesAreWrittenToTheProjectFileAndShownWhenOpened)
{
    CStudioRig rig;
    rig.window->Command(CMainWindow::kViewProjectInfo);
    rig.window->ProjectInfo()->setPlainText(QStringLiteral("Bass: take 3\nTempo rises in the bridge"));
    const std::string path = rig.folder + "/notes.cvx";
    rig.chooser.answers.push_back(path);
    rig.window->Command(CMainWindow::kSaveProjectAs);
    rig.window->Command(CMainWindow::kNewProject);
    EXPECT_TRUE(rig.window->ProjectInfo()->toPlainText().isEmpty());
    rig.chooser.answers.push_back(path);
    rig.window->Command(CMainWindow::kOpenProject);
    EXPECT_EQ(rig.window->ProjectInfo()->toPlainText().toStdString(), "Bass: take 3\nTempo rises in the bridge");
}

TEST(ToolBar, TempoFieldsSetTheHostUnderTheStudioLockAndShowTheOpenedProject)
{
    CStudioRig rig;
    CMainToolBar* bar = rig.window->ToolBar();
    bar->TempoField()->setValue(97.0);
    bar->TicksPerBeatField()->setValue(8);
    EXPECT_EQ(rig.application.Host().GetTempo(), 97.0);
    EXPECT_EQ(rig.application.Host().GetTicksPerBeat(), 8.0);
    // Outside the range the field keeps to it.
    bar->TempoField()->setValue(5000.0);
    EXPECT_EQ(rig.application.Host().GetTempo(), 1200.0);

    // The change waits for the studio lock, which the audio callback holds
    // while it renders a block.
    std::atomic<bool> held{false};
    std::atomic<bool> released{false};
    std::thread audio([&] {
        rig.application.Studio().Lock().Lock();
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released = true;
        rig.application.Studio().Lock().Unlock();
    });
    while (!held)
        std::this_thread::yield();
    bar->TempoField()->setValue(133.0);
    EXPECT_TRUE(released.load());
    EXPECT_EQ(rig.application.Host().GetTempo(), 133.0);
    audio.join();

    rig.chooser.answers.push_back(DemoPath());
    rig.window->Command(CMainWindow::kOpenProject);
    EXPECT_EQ(bar->TempoField()->value(), rig.application.Host().GetTempo());
    EXPECT_EQ(bar->TicksPerBeatField()->value(), static_cast<int>(rig.application.Host().GetTicksPerBeat()));
}

TEST(ToolBar, VolumeSliderSpansMinus34ToPlus6)
{
    CStudioRig rig;
    CVolumeSliderView* volume = rig.window->ToolBar()->VolumeSlider();
    EXPECT_EQ(volume->Label()->text().toStdString(), "0.00dB");   // unity gain at start
    EXPECT_NEAR(volume->Model().GetPosition(), 0.85, 1e-12);

    volume->MoveTo(0.0);
    EXPECT_NEAR(rig.application.Studio().GetMasterVolume(), 0.000398107, 1e-9);
    EXPECT_EQ(volume->Label()->text().toStdString(), "-34.00dB");
    volume->MoveTo(1.0);
    EXPECT_NEAR(rig.application.Studio().GetMasterVolume(), 3.98107, 1e-5);
    EXPECT_EQ(volume->Label()->text().toStdString(), "6.00dB");
    EXPECT_EQ(volume->SliderView()->size(), QSize(120, 26));

    // A double click brings back 0 dB; wheel notches move a decibel each.
    QTest::mouseDClick(volume->SliderView(), Qt::LeftButton, {}, QPoint(20, 13));
    EXPECT_DOUBLE_EQ(rig.application.Studio().GetMasterVolume(), 1.0);
    EXPECT_EQ(volume->Label()->text().toStdString(), "0.00dB");
    QWheelEvent down(QPointF(20, 13), QPointF(20, 13), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(volume->SliderView(), &down);
    EXPECT_EQ(volume->Label()->text().toStdString(), "-2.00dB");
}

TEST(StartPath, WithoutADisplayTheStudioSaysSoAndTheCommandLineStillWorks)
{
    const std::string headless = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    const auto run = [](const std::string& command, std::string& output) {
        output.clear();
        FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string output;
    EXPECT_EQ(run(headless + CORVANE_BINARY + " " + DemoPath(), output), 1);
    EXPECT_NE(output.find("no display"), std::string::npos) << output;
    EXPECT_EQ(run(headless + CORVANE_BINARY, output), 0);
    EXPECT_NE(output.find("--render"), std::string::npos) << output;
    EXPECT_EQ(run(headless + CORVANE_BINARY + " --info " + DemoPath() + " --quiet", output), 0);
    EXPECT_NE(output.find("\"machines\""), std::string::npos) << output;

    // A display that is named but gone: one line and exit code 1, not Qt's abort.
    EXPECT_EQ(run("env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4095 " + std::string(CORVANE_BINARY) + " " +
                      DemoPath(),
                  output),
              1);
    EXPECT_NE(output.find("cannot open the display :4095"), std::string::npos) << output;
}
