// The sequence grid's gestures, its length and what pattern changes do to
// the song.

#include <gtest/gtest.h>

#include "sequencing/EditorGeometry.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

namespace {

class SequenceGrid : public ::testing::Test {
protected:
    SequenceGrid()
    {
        synthTrack = TrackOf(synth);
        otherTrack = TrackOf(other);
    }

    int TrackOf(CMachine* machine) const
    {
        const CSequence& song = sequence.Sequence();
        return song.IndexOfTrack(song.FindTrack(CSequencingRig::ControlIn(machine)));
    }

    std::vector<int> Positions(int track) const
    {
        std::vector<int> positions;
        for (const auto& entry : sequence.Sequence().Track(track)->Entries())
            positions.push_back(entry->position);
        return positions;
    }

    CSequencingRig rig;
    CSequenceEditor& sequence = *rig.sequenceEditor;
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CRecordingMachine* other = rig.AddRecorder("Other");
    CPattern* four = rig.AddPattern(synth, 4);
    CPattern* eight = rig.AddPattern(synth, 8);
    int synthTrack = -1;
    int otherTrack = -1;
};

} // namespace

TEST_F(SequenceGrid, TracksFollowTheMachinesControlInputs)
{
    // The master has none; each recorder one.
    EXPECT_EQ(sequence.Sequence().TrackCount(), 2);
    rig.AddRecorder("Two", kTwoPortsType);
    EXPECT_EQ(sequence.Sequence().TrackCount(), 4);
    sequence.AddTrack(CSequencingRig::ControlIn(synth));
    EXPECT_EQ(sequence.Sequence().TrackCount(), 4);
    EXPECT_EQ(sequence.Length(), 64);
}

TEST_F(SequenceGrid, SelectingATrackChoosesItsFirstPattern)
{
    sequence.SelectTrack(synthTrack);
    EXPECT_EQ(sequence.PatternChoices(), (std::vector<CPattern*>{four, eight}));
    EXPECT_EQ(sequence.SelectedTrack()->ChosenPattern(), four);
    sequence.ChoosePattern(eight);
    sequence.SelectTrack(otherTrack);
    EXPECT_EQ(sequence.SelectedTrack()->ChosenPattern(), nullptr);
    sequence.SelectTrack(synthTrack);
    EXPECT_EQ(sequence.SelectedTrack()->ChosenPattern(), eight);
    // A pattern of another port cannot be chosen here.
    sequence.ChoosePattern(rig.AddPattern(other));
    EXPECT_EQ(sequence.SelectedTrack()->ChosenPattern(), eight);
}

TEST_F(SequenceGrid, ClicksAddEntriesOnlyWhereTheyFitInTheSelectedTrack)
{
    sequence.SelectTrack(synthTrack);
    sequence.PressGrid(0, synthTrack, MouseButton::Left);
    sequence.PressGrid(4, synthTrack, MouseButton::Left);
    sequence.PressGrid(6, synthTrack, MouseButton::Left);    // on the entry at 4: grabs it
    sequence.ReleaseGrid();
    sequence.PressGrid(61, synthTrack, MouseButton::Left);   // would end at 65
    sequence.PressGrid(60, synthTrack, MouseButton::Left);
    sequence.PressGrid(10, otherTrack, MouseButton::Left);   // not the selected track
    EXPECT_EQ(Positions(synthTrack), (std::vector<int>{0, 4, 60}));
    EXPECT_TRUE(Positions(otherTrack).empty());

    sequence.ChoosePattern(eight);
    sequence.PressGrid(8, synthTrack, MouseButton::Left);
    sequence.PressGrid(52, synthTrack, MouseButton::Left);   // 52 … 59 touches 60 only at its end
    sequence.PressGrid(53, synthTrack, MouseButton::Left);
    EXPECT_EQ(Positions(synthTrack), (std::vector<int>{0, 4, 60, 8, 52}));
}

TEST_F(SequenceGrid, DraggingAnEntryKeepsTheGrabOffsetAndItsTrack)
{
    sequence.SelectTrack(synthTrack);
    sequence.PressGrid(0, synthTrack, MouseButton::Left);
    sequence.PressGrid(10, synthTrack, MouseButton::Left);

    sequence.PressGrid(12, synthTrack, MouseButton::Left);   // grabs the entry at 10, 2 units in
    sequence.DragGrid(20);
    EXPECT_EQ(Positions(synthTrack), (std::vector<int>{0, 18}));
    sequence.DragGrid(5);    // 3 … 6 would overlap the entry at 0
    sequence.DragGrid(1);    // −1
    sequence.DragGrid(63);   // 61 … 64 is past the end
    EXPECT_EQ(Positions(synthTrack), (std::vector<int>{0, 18}));
    sequence.DragGrid(6);
    sequence.ReleaseGrid();
    sequence.DragGrid(30);
    EXPECT_EQ(Positions(synthTrack), (std::vector<int>{0, 4}));
}

TEST_F(SequenceGrid, RightClickRemovesTheEntryUnderThePointer)
{
    sequence.SelectTrack(synthTrack);
    sequence.PressGrid(0, synthTrack, MouseButton::Left);
    sequence.PressGrid(4, synthTrack, MouseButton::Left);
    sequence.PressGrid(7, synthTrack, MouseButton::Right);
    sequence.PressGrid(9, synthTrack, MouseButton::Right);
    EXPECT_EQ(Positions(synthTrack), std::vector<int>{0});
}

TEST_F(SequenceGrid, ShrinkingTheSongRemovesEveryEntryThatNoLongerFits)
{
    ASSERT_TRUE(sequence.PlaceEntry(synthTrack, 0, four));
    ASSERT_TRUE(sequence.PlaceEntry(synthTrack, 30, eight));
    ASSERT_TRUE(sequence.PlaceEntry(synthTrack, 40, four));
    ASSERT_TRUE(sequence.PlaceEntry(synthTrack, 20, four));
    ASSERT_TRUE(sequence.PlaceEntry(synthTrack, 24, four));
    sequence.SetLength(27);
    EXPECT_EQ(Positions(synthTrack), (std::vector<int>{0, 20}));
    sequence.SetLength(0);
    EXPECT_EQ(sequence.Length(), 1);
    sequence.SetLength(5000);
    EXPECT_EQ(sequence.Length(), 4096);
}

TEST_F(SequenceGrid, RemovingAPatternRemovesItsEntriesAndChoice)
{
    sequence.PlaceEntry(synthTrack, 0, four);
    sequence.PlaceEntry(synthTrack, 4, eight);
    sequence.PlaceEntry(synthTrack, 12, four);
    sequence.SelectTrack(synthTrack);
    rig.patternEditor->SelectPattern(four);
    rig.patternEditor->RemovePattern();
    EXPECT_EQ(Positions(synthTrack), std::vector<int>{4});
    EXPECT_EQ(sequence.SelectedTrack()->ChosenPattern(), nullptr);
    EXPECT_FALSE(sequence.PlaceEntry(otherTrack, 0, eight));
}

TEST(EditorGeometry, PixelsMapToTicksRowsUnitsAndValues)
{
    EXPECT_EQ(CEditorGeometry::TickAt(31), 1);
    EXPECT_EQ(CEditorGeometry::TickAt(-1), -1);
    EXPECT_EQ(CEditorGeometry::RowAt(16 * 67 + 3), 67);
    EXPECT_FLOAT_EQ(CEditorGeometry::ValueAt(0), 1.0f);
    EXPECT_FLOAT_EQ(CEditorGeometry::ValueAt(114), 0.0f);
    EXPECT_FLOAT_EQ(CEditorGeometry::ValueAt(127), 0.0f);
    EXPECT_EQ(CEditorGeometry::LaneAt(129), 1);
    EXPECT_TRUE(CEditorGeometry::InNameColumn(195));
    EXPECT_FALSE(CEditorGeometry::InNameColumn(196));
    EXPECT_EQ(CEditorGeometry::UnitAt(196 + 33), 2);
    EXPECT_EQ(CEditorGeometry::TrackAt(40), 2);
    EXPECT_FALSE(CEditorGeometry::SongCursorNeedsRedraw(4.0, 4.0005));
    EXPECT_FALSE(CEditorGeometry::SongCursorNeedsRedraw(4.0, 4.1));   // same pixel
    EXPECT_TRUE(CEditorGeometry::SongCursorNeedsRedraw(4.0, 4.3));

    CNote note;
    note.start = 2;
    note.length = 3;   // x 32 … 80
    EXPECT_EQ(CEditorGeometry::GripAt(note, CEditorGeometry::TickPosition(35)), NoteGrip::Start);
    EXPECT_EQ(CEditorGeometry::GripAt(note, CEditorGeometry::TickPosition(36)), NoteGrip::Body);
    EXPECT_EQ(CEditorGeometry::GripAt(note, CEditorGeometry::TickPosition(73)), NoteGrip::Body);
    EXPECT_EQ(CEditorGeometry::GripAt(note, CEditorGeometry::TickPosition(74)), NoteGrip::End);
}

TEST(PianoRollRows, NoteRowsAreLabelledFromTheTop)
{
    const CPianoRollRows rows(nullptr);
    EXPECT_EQ(rows.RowCount(), 128);
    EXPECT_EQ(rows.NoteForRow(0), 127);
    EXPECT_EQ(rows.RowForNote(60), 67);
    EXPECT_EQ(rows.Label(67), "C-5");
    EXPECT_EQ(rows.Label(127 - 61), "C#-5");
    EXPECT_EQ(rows.Label(127), "C-0");
    EXPECT_EQ(rows.Label(0), "G-10");
    EXPECT_TRUE(rows.IsBlackKey(127 - 61));
    EXPECT_FALSE(rows.IsBlackKey(127 - 64));
    EXPECT_EQ(rows.NoteForRow(128), -1);
}
