// The piano roll's Edit and Select Mode gestures and the control lanes, in
// ticks and rows as a view hands them over.

#include <gtest/gtest.h>

#include "sequencing/EditorGeometry.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

namespace {

/// Row of a MIDI note: note 127 is at the top.
constexpr int RowOf(int note)
{
    return 127 - note;
}

/// A pointer in the middle of a tick: 8 pixels from either side, clear of
/// the grips of a note that starts or ends there.
constexpr double Middle(int tick)
{
    return tick + 0.5;
}

class PianoRoll : public ::testing::Test {
protected:
    struct Placed {
        int start;
        int length;
        int note;
        bool operator==(const Placed&) const = default;
    };

    std::vector<Placed> Notes(const CPattern& of) const
    {
        std::vector<Placed> notes;
        for (const CNote* note = of.FirstNote(); note != nullptr; note = note->next)
            notes.push_back({note->start, note->length, note->note});
        return notes;
    }

    CSequencingRig rig;
    CPatternEditor& editor = *rig.patternEditor;
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPattern* pattern = rig.AddPattern(synth, 4);   // ticks 0 … 15
};

} // namespace

TEST_F(PianoRoll, PressOnEmptySpaceAddsANoteWhoseEndFollowsThePointer)
{
    editor.SetNoteLength(2);
    editor.PressNote(Middle(3), RowOf(60), MouseButton::Left);
    ASSERT_EQ(Notes(*pattern), (std::vector<Placed>{{3, 2, 60}}));
    editor.DragNote(Middle(7), RowOf(64));
    editor.ReleaseNote();
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{3, 5, 60}}));
    // Dragged back before its start, it keeps one tick.
    editor.PressNote(Middle(9), RowOf(62), MouseButton::Left);
    editor.DragNote(Middle(2), RowOf(62));
    EXPECT_EQ(Notes(*pattern).back(), (Placed{9, 1, 62}));
}

TEST_F(PianoRoll, PressOnANoteGrabsItInsteadOfAddingOne)
{
    pattern->AddNote(4, 4, 60);   // x 64 … 127
    editor.PressNote(Middle(5), RowOf(60), MouseButton::Left);
    EXPECT_EQ(pattern->NoteCount(), 1);
    EXPECT_EQ(editor.DraggedNote(), pattern->FirstNote());
    editor.DragNote(Middle(9), RowOf(62));
    editor.ReleaseNote();
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{8, 4, 62}}));
}

TEST_F(PianoRoll, EdgesOfANoteDragItsStartAndItsEnd)
{
    pattern->AddNote(4, 4, 60);
    // 3 pixels into the note: its start.
    editor.PressNote(CEditorGeometry::TickPosition(64 + 3), RowOf(60), MouseButton::Left);
    editor.DragNote(Middle(2), RowOf(60));
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{2, 6, 60}}));
    editor.DragNote(Middle(12), RowOf(60));   // the end stays: start 7
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{7, 1, 60}}));
    editor.ReleaseNote();

    // 6 pixels before its right edge (x 128): its end.
    editor.PressNote(CEditorGeometry::TickPosition(128 - 6), RowOf(60), MouseButton::Left);
    editor.DragNote(Middle(10), RowOf(70));
    editor.ReleaseNote();
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{7, 4, 60}}));
}

TEST_F(PianoRoll, EdgeDragsStopAtOtherNotesAndThePatternEnd)
{
    pattern->AddNote(0, 2, 60);
    pattern->AddNote(6, 2, 60);
    editor.PressNote(CEditorGeometry::TickPosition(2 * 16 - 2), RowOf(60), MouseButton::Left);
    editor.DragNote(Middle(5), RowOf(60));   // up to the next note: allowed
    editor.DragNote(Middle(6), RowOf(60));   // into it: refused
    EXPECT_EQ(Notes(*pattern)[0], (Placed{0, 6, 60}));
    editor.ReleaseNote();
    editor.PressNote(CEditorGeometry::TickPosition(8 * 16 - 1), RowOf(60), MouseButton::Left);
    editor.DragNote(Middle(16), RowOf(60));  // past the end: refused
    EXPECT_EQ(Notes(*pattern)[1], (Placed{6, 2, 60}));
}

TEST_F(PianoRoll, MovedNoteSlidesOnlyTheFreeWayAroundAnotherOfItsNumber)
{
    pattern->AddNote(8, 2, 60);
    pattern->AddNote(2, 2, 62);
    // Grab the second note and drag it up a row and right onto the first
    // one: the new place is taken, so it keeps its start and only changes
    // row.
    editor.PressNote(Middle(2), RowOf(62), MouseButton::Left);
    editor.DragNote(Middle(8), RowOf(60));
    EXPECT_EQ(Notes(*pattern)[1], (Placed{2, 2, 60}));
    editor.ReleaseNote();

    // Now on the first one's row: dragged right onto it, the new place and
    // the new start are taken and the row did not change, so it stays.
    pattern->AddNote(2, 2, 64);
    editor.PressNote(Middle(2), RowOf(60), MouseButton::Left);
    editor.DragNote(Middle(8), RowOf(60));
    EXPECT_EQ(Notes(*pattern)[1], (Placed{2, 2, 60}));
    // Dragged on up to the row of 64, whose tick 2 is taken but tick 8 is
    // free: the first try, new start and new row, succeeds.
    editor.DragNote(Middle(8), RowOf(64));
    EXPECT_EQ(Notes(*pattern)[1], (Placed{8, 2, 64}));
}

TEST_F(PianoRoll, RightClickRemovesTheCoveringNoteOfThatRow)
{
    pattern->AddNote(4, 4, 60);
    pattern->AddNote(4, 4, 61);
    editor.PressNote(Middle(6), RowOf(61), MouseButton::Right);
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{4, 4, 60}}));
    editor.PressNote(Middle(9), RowOf(60), MouseButton::Right);
    EXPECT_EQ(pattern->NoteCount(), 1);
}

TEST_F(PianoRoll, SelectionCopiesNotesWhollyInsideAndPastesRelativeToTheClick)
{
    pattern->AddNote(2, 2, 62);   // inside
    pattern->AddNote(4, 1, 60);   // inside
    pattern->AddNote(5, 3, 61);   // ends past the last tick
    pattern->AddNote(3, 1, 50);   // below the rows
    editor.SetMode(PianoRollMode::Select);
    EXPECT_FALSE(editor.CanCopy());
    EXPECT_FALSE(editor.CanPaste());
    editor.PressNote(Middle(6), RowOf(60), MouseButton::Left);
    editor.DragNote(Middle(2), RowOf(62));
    editor.ReleaseNote();
    ASSERT_TRUE(editor.Selection().has_value());
    EXPECT_EQ(editor.Selection()->firstRow, RowOf(62));
    EXPECT_EQ(editor.Selection()->lastTick, 6);
    EXPECT_TRUE(editor.CanCut() && editor.CanCopy() && editor.CanDelete() && editor.CanDeselect());

    editor.Copy();
    EXPECT_FALSE(editor.Selection().has_value());
    EXPECT_TRUE(editor.CanPaste());
    ASSERT_EQ(editor.Clipboard().Items().size(), 2u);

    editor.Paste(10, RowOf(72));
    const auto notes = Notes(*pattern);
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[4], (Placed{10, 2, 72}));
    EXPECT_EQ(notes[5], (Placed{12, 1, 70}));
    // A paste that does not fit places only what does.
    editor.Paste(14, RowOf(72));
    EXPECT_EQ(Notes(*pattern).back(), (Placed{14, 2, 72}));
}

TEST_F(PianoRoll, CutAndDeleteRemoveTheNotesInside)
{
    pattern->AddNote(0, 1, 60);
    pattern->AddNote(1, 1, 61);
    pattern->AddNote(9, 1, 61);
    editor.SetMode(PianoRollMode::Select);
    editor.PressNote(Middle(0), RowOf(61), MouseButton::Left);
    editor.DragNote(Middle(1), RowOf(60));
    editor.Cut();
    EXPECT_EQ(Notes(*pattern), (std::vector<Placed>{{9, 1, 61}}));
    EXPECT_EQ(editor.Clipboard().Items().size(), 2u);
    editor.PressNote(Middle(9), RowOf(61), MouseButton::Left);
    editor.DeleteSelection();
    EXPECT_EQ(pattern->NoteCount(), 0);
    EXPECT_FALSE(editor.Selection().has_value());
    editor.PressNote(Middle(3), RowOf(3), MouseButton::Left);
    editor.Deselect();
    EXPECT_FALSE(editor.CanDelete());
}

TEST(PianoRollPads, DrumClipboardKeepsItsRowsWhenPastedIntoANoteMachine)
{
    CSequencingRig rig;
    CPatternEditor& editor = *rig.patternEditor;
    CRecordingMachine* pads = rig.AddRecorder("Pads", kPadsType);
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPattern* drums = rig.AddPattern(pads, 4);
    drums->AddNote(0, 1, 2);   // rows 2 and 4
    drums->AddNote(1, 1, 4);
    editor.SetMode(PianoRollMode::Select);
    editor.PressNote(Middle(0), 2, MouseButton::Left);
    editor.DragNote(Middle(1), 4);
    editor.Copy();
    EXPECT_FALSE(editor.Clipboard().FromNoteMachine());

    CPattern* melody = rig.AddPattern(synth, 4);
    editor.Paste(0, RowOf(72));
    // The lower row of the drums is two rows below: note 70.
    ASSERT_EQ(melody->NoteCount(), 2);
    EXPECT_EQ(melody->FirstNote()->note, 72);
    EXPECT_EQ(melody->LastNote()->note, 70);
    EXPECT_EQ(editor.Rows().Label(RowOf(60)), "C-5");
    editor.SelectPattern(drums);
    EXPECT_EQ(editor.Rows().RowCount(), 11);
    EXPECT_EQ(editor.Rows().Label(4), "Pad 4");
}

TEST_F(PianoRoll, ControlLanesSetDragAndClearPoints)
{
    editor.SelectProperty(1);
    editor.AddControlTrack();
    const CControlTrack& track = *pattern->ControlTrack(0);

    editor.PressControl(0, 5, CEditorGeometry::ValueAt(57), MouseButton::Left);
    EXPECT_TRUE(track.IsSet(5));
    EXPECT_FLOAT_EQ(track.Point(5).value, 0.5f);
    editor.DragControl(CEditorGeometry::ValueAt(-10));
    EXPECT_EQ(track.Point(5).value, 1.0f);
    EXPECT_EQ(editor.ControlText(), "1.000");
    editor.ReleaseControl();
    EXPECT_EQ(editor.ControlText(), "");

    // A press on a set point does not move it until the pointer moves.
    editor.PressControl(0, 5, 0.0f, MouseButton::Left);
    EXPECT_EQ(track.Point(5).value, 1.0f);
    editor.ReleaseControl();
    editor.PressControl(0, 5, 0.0f, MouseButton::Right);
    EXPECT_FALSE(track.IsSet(5));
    EXPECT_EQ(track.Point(5).value, 0.0f);
    editor.DragControl(0.3f);   // no drag any more
    EXPECT_FALSE(track.IsSet(5));
    editor.PressControl(0, 16, 0.5f, MouseButton::Left);   // past the last tick
    editor.PressControl(3, 1, 0.5f, MouseButton::Left);    // no such lane
}
