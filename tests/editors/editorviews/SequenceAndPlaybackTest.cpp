// The sequence grid and the two editors' lists through the widgets, the
// play cursors while a real render plays, and screenshots of the three
// pages on the demo project.

#include <gtest/gtest.h>

#include <cstring>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "editors/ChoiceLists.h"
#include "editors/NoteView.h"
#include "editors/PatternEditorPage.h"
#include "editors/RecorderPanelView.h"
#include "editors/SequenceEditorPage.h"
#include "editors/SequenceView.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"
#include "sequencing/EditorGeometry.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "tests/editors/editorviews/EditorRig.h"

namespace editorviews_test {
namespace {

using choice_lists::Texts;

constexpr const char* kBassType = "CorvPlug::KV RazuZuri";

CConnector* ControlIn(CMachineContainer* machine)
{
    for (CConnector* connector : machine->connectors)
        if (connector->IsInput() && connector->IsControl())
            return connector;
    return nullptr;
}

QPoint GridCell(int unit, int track)
{
    return {CEditorGeometry::XOfUnit(unit) + 8, track * CEditorGeometry::kPixelsPerTrack + 8};
}

struct SongRig {
    explicit SongRig(bool audio = false) : rig(audio), patterns(rig.PatternPage()), song(rig.SequencePage())
    {
        machine = rig.AddMachine(kBassType);
        patterns.SyncChoices();
        Choose(patterns.MachineList(), QString::fromStdString(machine->GetName()));
        track = rig.application.SequenceEditor().Sequence().IndexOfTrack(
            rig.application.SequenceEditor().Sequence().FindTrack(ControlIn(machine)));
        song.SyncChoices();
    }
    CEditorRig rig;
    CPatternEditorPage& patterns;
    CSequenceEditorPage& song;
    CMachineContainer* machine = nullptr;
    int track = -1;
};

TEST(ChoiceLists, BothEditorsFollowAddsRemovesAndRenames)
{
    SongRig rig;
    rig.rig.ShowPage(CMainWindow::kSequenceEditorPage);
    ASSERT_GE(rig.track, 0);
    rig.patterns.AddPattern();
    rig.patterns.AddPattern();
    EXPECT_EQ(Texts(rig.patterns.PatternList()), (std::vector<QString>{"Pattern 1", "Pattern 2"}));
    EXPECT_EQ(rig.patterns.PatternList()->currentText(), "Pattern 2");

    // A track picked in the name column lists its port's patterns.
    QTest::mouseClick(rig.song.Grid(), Qt::LeftButton, {}, QPoint(20, rig.track * 16 + 8));
    EXPECT_EQ(rig.rig.application.SequenceEditor().SelectedTrackIndex(), rig.track);
    EXPECT_EQ(Texts(rig.song.PatternList()), (std::vector<QString>{"Pattern 1", "Pattern 2"}));

    std::vector<std::string> asked;
    rig.patterns.SetTextAsker([&asked](const std::string& title, const std::string& label, const std::string& text) {
        asked = {title, label, text};
        return std::optional<std::string>("Bass");
    });
    rig.patterns.RenamePattern();
    EXPECT_EQ(asked, (std::vector<std::string>{"Rename Pattern", "Name:", "Pattern 2"}));
    EXPECT_EQ(Texts(rig.patterns.PatternList()), (std::vector<QString>{"Pattern 1", "Bass"}));
    EXPECT_EQ(Texts(rig.song.PatternList()), (std::vector<QString>{"Pattern 1", "Bass"}));

    // Cancelled, nothing changes.
    rig.patterns.SetTextAsker([](const std::string&, const std::string&, const std::string&) { return std::nullopt; });
    rig.patterns.RenamePattern();
    EXPECT_EQ(rig.patterns.PatternList()->currentText(), "Bass");

    ASSERT_TRUE(Choose(rig.patterns.PatternList(), QStringLiteral("Pattern 1")));
    rig.patterns.RemovePattern();
    EXPECT_EQ(Texts(rig.patterns.PatternList()), (std::vector<QString>{"Bass"}));
    EXPECT_EQ(Texts(rig.song.PatternList()), (std::vector<QString>{"Bass"}));

    // A machine placed later shows up in the machine list by itself.
    CMachineContainer* second = rig.rig.AddMachine(kBassType);
    rig.rig.ShowPage(CMainWindow::kPatternEditorPage);
    EXPECT_TRUE(WaitFor([&] { return rig.patterns.MachineList()->count() == 2; }, 3000));
    EXPECT_EQ(rig.patterns.MachineList()->itemText(1), QString::fromStdString(second->GetName()));
}

TEST(SequenceGrid, EntriesAreAddedWhereTheyFitDraggedInTheirTrackAndRemoved)
{
    SongRig rig;
    rig.patterns.AddPattern();   // 16 units
    rig.rig.ShowPage(CMainWindow::kSequenceEditorPage);
    CSequenceView* grid = rig.song.Grid();
    const CSequenceTrack* track = rig.rig.application.SequenceEditor().Sequence().Track(rig.track);

    // Before a track is selected a click adds nothing.
    QTest::mouseClick(grid, Qt::LeftButton, {}, GridCell(0, rig.track));
    EXPECT_EQ(track->EntryCount(), 0);
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(5, rig.track * 16 + 3));
    QTest::mouseClick(grid, Qt::LeftButton, {}, GridCell(0, rig.track));
    ASSERT_EQ(track->EntryCount(), 1);
    EXPECT_EQ(track->Entry(0)->position, 0);
    // Overlapping, past the end: nothing.
    QTest::mouseClick(grid, Qt::LeftButton, {}, GridCell(8, rig.track));
    QTest::mouseClick(grid, Qt::LeftButton, {}, GridCell(50, rig.track));
    EXPECT_EQ(track->EntryCount(), 1);
    QTest::mouseClick(grid, Qt::LeftButton, {}, GridCell(16, rig.track));
    ASSERT_EQ(track->EntryCount(), 2);

    // Grabbed one unit in, dropped so that it starts at unit 33.
    QTest::mousePress(grid, Qt::LeftButton, {}, GridCell(17, rig.track));
    QTest::mouseMove(grid, GridCell(34, rig.track));
    QTest::mouseRelease(grid, Qt::LeftButton, {}, GridCell(34, rig.track));
    EXPECT_EQ(track->Entry(1)->position, 33);
    // Onto the first entry or past the end it stays.
    QTest::mousePress(grid, Qt::LeftButton, {}, GridCell(34, rig.track));
    QTest::mouseMove(grid, GridCell(10, rig.track));
    QTest::mouseMove(grid, GridCell(60, rig.track));
    QTest::mouseRelease(grid, Qt::LeftButton, {}, GridCell(60, rig.track));
    EXPECT_EQ(track->Entry(1)->position, 33);

    QTest::mouseClick(grid, Qt::RightButton, {}, GridCell(3, rig.track));
    ASSERT_EQ(track->EntryCount(), 1);
    EXPECT_EQ(track->Entry(0)->position, 33);

    // The song cursor is redrawn only when its drawn place changes.
    const int before = grid->CursorRedraws();
    EXPECT_FALSE(grid->SetSongPosition(0.0005));
    EXPECT_FALSE(grid->SetSongPosition(0.1));
    EXPECT_TRUE(grid->SetSongPosition(0.3));
    EXPECT_EQ(grid->CursorRedraws(), before + 1);
}

TEST(PlayCursors, MoveWhileARealRenderPlaysAndStopWithStopPattern)
{
    SongRig rig(true);
    CPatternEditor& editor = rig.rig.application.PatternEditor();
    rig.patterns.AddPattern();
    rig.patterns.Roll();
    editor.CurrentPattern()->AddNote(0, 4, 45);
    editor.CurrentPattern()->AddNote(8, 4, 48);
    rig.rig.ShowPage(CMainWindow::kPatternEditorPage);
    CNoteView& roll = *rig.patterns.Roll();

    QTest::mouseClick(rig.patterns.PlayButton(), Qt::LeftButton);
    EXPECT_TRUE(editor.IsPlayButtonDown());
    ASSERT_TRUE(WaitFor([&] { return roll.PlayCursor() > 0.0; }, 5000));
    const double first = roll.PlayCursor();
    EXPECT_TRUE(WaitFor([&] { return roll.PlayCursor() > first + 0.5 || roll.PlayCursor() < first; }, 5000));
    QTest::mouseClick(rig.patterns.StopButton(), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return roll.PlayCursor() < 0.0; }, 2000));
    EXPECT_FALSE(rig.patterns.PlayButton()->isChecked());

    // The song plays the pattern from the sequence editor; both cursors run.
    rig.rig.application.SequenceEditor().SelectTrack(rig.track);
    rig.rig.application.SequenceEditor().PressGrid(0, rig.track, MouseButton::Left);
    rig.rig.application.SequenceEditor().ReleaseGrid();
    rig.rig.ShowPage(CMainWindow::kSequenceEditorPage);
    CSequenceView& grid = *rig.song.Grid();
    const int redraws = grid.CursorRedraws();
    QTest::mouseClick(rig.song.PlayButton(), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return rig.song.PlayButton()->isChecked(); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return grid.CursorRedraws() > redraws + 2; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return roll.PlayCursor() >= 0.0; }, 5000));
    QTest::mouseClick(rig.song.StopButton(), Qt::LeftButton);
    EXPECT_FALSE(rig.rig.application.SequenceEditor().IsPlaying());
    EXPECT_TRUE(WaitFor([&] { return !rig.song.PlayButton()->isChecked(); }, 2000));
}

TEST(RecorderPanel, RowsFollowTheTracksTheirFilesAndToggles)
{
    CEditorRig rig;
    CRecorderPanelView& panel = *rig.pages->RecorderPage();
    ASSERT_NE(rig.AddMachine("CorvPlug::KV HD Recorder Track (Stereo)"), nullptr);
    ASSERT_NE(rig.AddMachine("CorvPlug::KV HD Recorder Track (Mono)"), nullptr);
    panel.Refresh();
    ASSERT_EQ(panel.RowCount(), 2);
    auto* choose = panel.RowWidget(1)->findChild<QToolButton*>(QStringLiteral("Select File To Save To"));
    auto* toggle = panel.RowWidget(1)->findChild<QToolButton*>(QStringLiteral("Record Stream"));
    ASSERT_NE(choose, nullptr);
    ASSERT_NE(toggle, nullptr);

    // The row's toggle without a file stays off and says why.
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(rig.application.Recorder().Row(1)->IsToggleOn());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(rig.messages.shown.size(), 1u);

    const std::string path = rig.folder + "/mono.wav";
    rig.chooser.answers.push_back(path);
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_EQ(rig.application.Recorder().Row(1)->FileName(), path);
    auto* file = panel.RowWidget(1)->findChildren<QLabel*>()[1];
    EXPECT_EQ(file->text().toStdString(), "File: '" + path + "'");
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(rig.application.Recorder().Row(1)->IsRecording());
    QTest::mouseClick(panel.GlobalToggle(), Qt::LeftButton);   // on: both; the first has no file
    QTest::mouseClick(panel.GlobalToggle(), Qt::LeftButton);   // off: both stop
    EXPECT_FALSE(rig.application.Recorder().Row(1)->IsRecording());
    panel.Refresh();
    EXPECT_FALSE(toggle->isChecked());

    // A new project takes the tracks away; the panel follows without
    // touching the rows that went.
    rig.window->Commands().NewProject();
    panel.Refresh();
    EXPECT_EQ(panel.RowCount(), 0);
}

void SaveScreenshot(CEditorRig& rig, int page, const char* name)
{
    rig.ShowPage(page);
    QTest::qWait(50);
    const QString folder = QString::fromUtf8(CORVANE_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    ASSERT_TRUE(rig.window->grab().save(folder + "/" + name));
}

TEST(Screenshots, TheThreePagesOnTheDemo)
{
    CEditorRig rig;
    rig.window->Commands().OpenKeepingCurrent(mainwindow_test::DemoPath());
    CMachineContainer* recorder = rig.AddMachine("CorvPlug::KV HD Recorder Track (Stereo)");
    ASSERT_NE(recorder, nullptr);
    if (CHDTrack* row = rig.application.Recorder().Row(0))
        row->ChooseFile((rig.folder + "/take-1.wav").c_str(), 1);

    CPatternEditorPage& patterns = rig.PatternPage();
    patterns.SyncChoices();
    // The bass line with its filter lane, if the demo has one.
    CPatternEditor& editor = rig.application.PatternEditor();
    for (CMachineContainer* machine : editor.Machines()) {
        if (machine->GetName().find("RazuZuri") != std::string::npos && editor.PatternsOf(ControlIn(machine)).size() > 0) {
            Choose(patterns.MachineList(), QString::fromStdString(machine->GetName()));
            if (editor.CurrentPattern() != nullptr && editor.CurrentPattern()->ControlTrackCount() > 0)
                break;
        }
    }
    // A cutoff lane with a falling sweep, drawn as a user would.
    if (Choose(patterns.PropertyList(), QStringLiteral("VCF1 Cutoff")) && editor.CurrentPattern() != nullptr) {
        patterns.AddControlTrack();
        const int lane = editor.CurrentPattern()->ControlTrackCount() - 1;
        for (int tick = 0; tick < 64; tick += 4) {
            editor.PressControl(lane, tick, 0.9f - tick / 90.0f, MouseButton::Left);
            editor.ReleaseControl();
        }
    }
    rig.ShowPage(CMainWindow::kPatternEditorPage);
    patterns.ScrollToNotes();
    SaveScreenshot(rig, CMainWindow::kPatternEditorPage, "pattern-editor.png");

    CSequenceEditor& song = rig.application.SequenceEditor();
    song.SelectTrack(0);
    rig.SequencePage().SyncChoices();
    rig.SequencePage().Grid()->SetSongPosition(4.0 * 20.5);
    SaveScreenshot(rig, CMainWindow::kSequenceEditorPage, "sequence-editor.png");

    rig.pages->RecorderPage()->Refresh();
    EXPECT_EQ(rig.pages->RecorderPage()->RowCount(), 1);
    SaveScreenshot(rig, CMainWindow::kHDRecorderPage, "hd-recorder.png");
}

} // namespace
} // namespace editorviews_test
