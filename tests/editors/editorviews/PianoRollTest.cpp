// The piano roll and the control lanes through the widgets: presses and
// drags at pixel positions reach the pattern editor as the ticks, rows and
// values under the pointer, at 1x and 2x zoom; Select Mode's menu and keys.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QWheelEvent>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "editors/ChoiceLists.h"
#include "editors/ControlView.h"
#include "editors/NoteView.h"
#include "editors/PatternEditorPage.h"
#include "host/MachineContainer.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "tests/editors/editorviews/EditorRig.h"

namespace editorviews_test {
namespace {

constexpr const char* kBassType = "CorvPlug::KV RazuZuri";

/// A rig with a bass synthesizer chosen and one empty pattern of 16 units.
struct BassRig {
    BassRig() : editor(rig.application.PatternEditor()), page(rig.PatternPage())
    {
        machine = rig.AddMachine(kBassType);
        page.SyncChoices();
        Choose(page.MachineList(), QString::fromStdString(machine->GetName()));
        page.AddPattern();
        rig.ShowPage(CMainWindow::kPatternEditorPage);
    }
    CPattern& Pattern() const { return *editor.CurrentPattern(); }

    CEditorRig rig;
    CPatternEditor& editor;
    CPatternEditorPage& page;
    CMachineContainer* machine = nullptr;
};

void Drag(QWidget* widget, const QPoint& from, const QPoint& to, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, from);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, button, {}, to);
}

TEST(PianoRollGestures, EditModeAddsResizesMovesAndRemovesAtOneAndTwoTimesZoom)
{
    for (const int zoomSteps : {0, 1}) {
        SCOPED_TRACE(zoomSteps == 0 ? "zoom 1x" : "zoom 2x");
        BassRig bass;
        ASSERT_NE(bass.machine, nullptr);
        bass.page.Zoom(zoomSteps, zoomSteps);
        CNoteView& roll = *bass.page.Roll();
        ASSERT_EQ(roll.TickWidth(), 16 << zoomSteps);
        const int c5 = bass.editor.Rows().RowForNote(60);
        ASSERT_EQ(bass.editor.Rows().Label(c5), "C-5");

        // A press adds a note of the Note Length; its end follows the drag.
        Drag(&roll, Cell(roll, 2, c5), Cell(roll, 5, c5));
        ASSERT_EQ(bass.Pattern().NoteCount(), 1);
        CNote* note = bass.Pattern().FirstNote();
        EXPECT_EQ(note->start, 2);
        EXPECT_EQ(note->length, 4);
        EXPECT_EQ(note->note, 60);

        // A click on the note adds nothing.
        QTest::mouseClick(&roll, Qt::LeftButton, {}, Cell(roll, 3, c5));
        EXPECT_EQ(bass.Pattern().NoteCount(), 1);

        // Right edge: within 7 pixels of the end (in the roll's unzoomed
        // pixels) the end follows the pointer.
        const int y = Cell(roll, 0, c5).y();
        Drag(&roll, QPoint(roll.XOfTick(6) - 2, y), Cell(roll, 9, c5));
        EXPECT_EQ(note->start, 2);
        EXPECT_EQ(note->length, 8);

        // Left edge: the start follows, the end stays.
        Drag(&roll, QPoint(roll.XOfTick(2) + 1, y), Cell(roll, 0, c5));
        EXPECT_EQ(note->start, 0);
        EXPECT_EQ(note->length, 10);

        // Body: the note moves by the ticks and rows dragged.
        Drag(&roll, Cell(roll, 5, c5), Cell(roll, 8, c5 - 1));
        EXPECT_EQ(note->start, 3);
        EXPECT_EQ(note->note, 61);
        EXPECT_EQ(note->length, 10);

        // Moved onto another note of the new number, it keeps its start
        // and takes only the way that stays free.
        bass.Pattern().AddNote(15, 2, 62);
        Drag(&roll, Cell(roll, 5, c5 - 1), Cell(roll, 15, c5 - 2));
        EXPECT_EQ(note->start, 3);
        EXPECT_EQ(note->note, 62);

        // A right click removes the note under the pointer.
        QTest::mouseClick(&roll, Qt::RightButton, {}, Cell(roll, 7, c5 - 2));
        EXPECT_EQ(bass.Pattern().NoteCount(), 1);
        EXPECT_EQ(bass.Pattern().FirstNote()->start, 15);

        // Ctrl+wheel doubles the ticks' width, Shift+wheel the rows' height.
        const int width = roll.TickWidth();
        const int height = roll.RowHeight();
        QWheelEvent wheel(QPointF(40, 40), roll.mapToGlobal(QPointF(40, 40)), {}, QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&roll, &wheel);
        EXPECT_EQ(roll.TickWidth(), width * 2);
        QWheelEvent shifted(QPointF(40, 40), roll.mapToGlobal(QPointF(40, 40)), {}, QPoint(0, -120), Qt::NoButton,
                            Qt::ShiftModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&roll, &shifted);
        EXPECT_EQ(roll.RowHeight(), std::max(16, height / 2));
        bass.page.Zoom(-1, 0);

        // Past the pattern's end nothing is added.
        QTest::mouseClick(&roll, Qt::LeftButton, {}, Cell(roll, bass.Pattern().TickCount(), c5));
        EXPECT_EQ(bass.Pattern().NoteCount(), 1);
    }
}

TEST(ControlLanes, PointsAreSetDraggedWithTheirTextAndClearedAtTheLanesPixels)
{
    BassRig bass;
    ASSERT_TRUE(Choose(bass.page.PropertyList(), QStringLiteral("VCF1 Cutoff")));
    bass.page.AddControlTrack();
    const int lane = bass.Pattern().ControlTrackCount() - 1;
    ASSERT_GE(lane, 0);
    const CControlTrack& track = *bass.Pattern().ControlTrack(lane);
    EXPECT_NE(track.PropertyId(), CControlTrack::kVelocityId);
    CControlView& lanes = *bass.page.Controls();
    ASSERT_EQ(lanes.height(), (lane + 1) * 128);
    const int top = lane * 128;
    const int x = bass.page.Roll()->XOfTick(3) + 4;

    // Half way down the 114 value pixels is 0.5.
    QTest::mouseClick(&lanes, Qt::LeftButton, {}, QPoint(x, top + 57));
    ASSERT_TRUE(track.IsSet(3));
    EXPECT_FLOAT_EQ(track.Point(3).value, 0.5f);

    // A drag on the set point moves its value and shows the machine's text.
    QTest::mousePress(&lanes, Qt::LeftButton, {}, QPoint(x, top + 57));
    QTest::mouseMove(&lanes, QPoint(x, top - 40));
    EXPECT_FLOAT_EQ(track.Point(3).value, 1.0f);
    EXPECT_FALSE(lanes.DragText().isEmpty());
    QTest::mouseRelease(&lanes, Qt::LeftButton, {}, QPoint(x, top - 40));
    EXPECT_TRUE(lanes.DragText().isEmpty());

    QTest::mouseClick(&lanes, Qt::RightButton, {}, QPoint(x, top + 90));
    EXPECT_FALSE(track.IsSet(3));

    const int propertyId = track.PropertyId();
    bass.page.RemoveControlTrack();
    EXPECT_EQ(bass.Pattern().FindControlTrack(propertyId), -1);
}

TEST(SelectMode, RectangleMenuGreyingAndKeysCutCopyPasteDeleteDeselect)
{
    BassRig bass;
    CNoteView& roll = *bass.page.Roll();
    const CPianoRollRows rows = bass.editor.Rows();
    bass.Pattern().AddNote(0, 2, 60);
    bass.Pattern().AddNote(4, 1, 62);
    const int c5 = rows.RowForNote(60);
    const int d5 = rows.RowForNote(62);

    QTest::mouseClick(bass.page.SelectModeButton(), Qt::LeftButton);
    EXPECT_EQ(bass.editor.Mode(), PianoRollMode::Select);
    EXPECT_FALSE(bass.page.EditModeButton()->isChecked());

    auto enabled = [&bass] {
        std::vector<bool> states;
        for (QAction* entry : bass.page.SelectionMenu()->actions())
            states.push_back(entry->isEnabled());
        return states;
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false, false}));

    Drag(&roll, Cell(roll, 0, d5), Cell(roll, 5, c5));
    ASSERT_TRUE(bass.editor.Selection().has_value());
    EXPECT_EQ(bass.editor.Selection()->firstTick, 0);
    EXPECT_EQ(bass.editor.Selection()->lastTick, 5);
    EXPECT_EQ(bass.editor.Selection()->firstRow, d5);
    EXPECT_EQ(bass.editor.Selection()->lastRow, c5);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true, true}));

    // The keys act as the menu does; paste lands at the last clicked cell.
    bass.page.activateWindow();
    roll.setFocus();
    QTest::keyClick(&roll, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(bass.editor.Selection().has_value());
    EXPECT_FALSE(bass.editor.Clipboard().IsEmpty());
    QTest::mouseClick(&roll, Qt::LeftButton, {}, Cell(roll, 8, d5));
    QTest::keyClick(&roll, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(bass.Pattern().NoteCount(), 4);
    EXPECT_NE(bass.Pattern().NoteAt(8, 60), nullptr);
    EXPECT_NE(bass.Pattern().NoteAt(12, 62), nullptr);

    Drag(&roll, Cell(roll, 8, d5), Cell(roll, 13, c5));
    QTest::keyClick(&roll, Qt::Key_Escape);
    EXPECT_FALSE(bass.editor.Selection().has_value());
    Drag(&roll, Cell(roll, 8, d5), Cell(roll, 13, c5));
    QTest::keyClick(&roll, Qt::Key_Delete);
    EXPECT_EQ(bass.Pattern().NoteCount(), 2);

    // The menu's Cut empties the rectangle into the clipboard.
    Drag(&roll, Cell(roll, 0, d5), Cell(roll, 5, c5));
    bass.page.SelectionMenu()->actions()[0]->trigger();
    EXPECT_EQ(bass.Pattern().NoteCount(), 0);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true, false, false}));
}

} // namespace
} // namespace editorviews_test
