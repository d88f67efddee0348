// The pattern editor's lists, commands and boxes.

#include <gtest/gtest.h>

#include "framework/Error.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

namespace {

class PatternEditorCommands : public ::testing::Test {
protected:
    std::vector<std::string> NamesOf(const std::vector<CPattern*>& patterns)
    {
        std::vector<std::string> names;
        for (const CPattern* pattern : patterns)
            names.push_back(pattern->Name());
        return names;
    }

    CSequencingRig rig;
    CPatternEditor& editor = *rig.patternEditor;
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CRecordingMachine* twoPorts = rig.AddRecorder("Two", kTwoPortsType);
};

} // namespace

TEST_F(PatternEditorCommands, MachineChoicesAreTheMachinesWithControlInputs)
{
    // The master has no control input and is not listed.
    ASSERT_EQ(editor.Machines().size(), 2u);
    EXPECT_EQ(editor.Machines()[0], CSequencingRig::ContainerOf(synth));
    editor.SelectMachine(CSequencingRig::ContainerOf(twoPorts));
    ASSERT_EQ(editor.PortChoices().size(), 2u);
    EXPECT_EQ(editor.ChosenPort(), CSequencingRig::ControlIn(twoPorts, 0));
}

TEST_F(PatternEditorCommands, NewPatternTakesTheSmallestFreeNumberOfItsPort)
{
    rig.AddPattern(synth);                      // Pattern 1
    CPattern* second = rig.AddPattern(synth);   // Pattern 2
    rig.AddPattern(synth);                      // Pattern 3
    editor.SelectPattern(second);
    editor.RemovePattern();
    // Another port's "Pattern 2" does not count.
    rig.AddPattern(twoPorts, 16, 1);
    rig.AddPattern(twoPorts, 16, 1);
    ASSERT_EQ(editor.CurrentPattern()->Name(), "Pattern 2");

    CPattern* added = rig.AddPattern(synth);
    EXPECT_EQ(added->Name(), "Pattern 2");
    EXPECT_EQ(NamesOf(editor.PatternsOf(CSequencingRig::ControlIn(synth))),
              (std::vector<std::string>{"Pattern 1", "Pattern 3", "Pattern 2"}));
    EXPECT_EQ(editor.CurrentPattern(), added);
    EXPECT_EQ(added->Length(), 16);
}

TEST_F(PatternEditorCommands, RemovingTakesTheNextPatternOfThePortThenTheLastThenNone)
{
    CPattern* first = rig.AddPattern(synth);
    CPattern* second = rig.AddPattern(synth);
    CPattern* third = rig.AddPattern(synth);
    editor.SelectPattern(second);
    editor.RemovePattern();
    EXPECT_EQ(editor.CurrentPattern(), third);
    editor.RemovePattern();
    EXPECT_EQ(editor.CurrentPattern(), first);
    editor.RemovePattern();
    EXPECT_EQ(editor.CurrentPattern(), nullptr);
    EXPECT_EQ(editor.PatternCount(), 0);
    editor.RemovePattern();   // nothing to remove
}

TEST_F(PatternEditorCommands, ChoosingAPortKeepsOnlyItsOwnCurrentPattern)
{
    CPattern* synthPattern = rig.AddPattern(synth);
    CPattern* upper = rig.AddPattern(twoPorts, 16, 1);
    editor.SelectPort(CSequencingRig::ControlIn(twoPorts, 0));
    EXPECT_EQ(editor.CurrentPattern(), nullptr);
    editor.SelectPort(CSequencingRig::ControlIn(twoPorts, 1));
    EXPECT_EQ(editor.CurrentPattern(), upper);
    editor.SelectMachine(CSequencingRig::ContainerOf(synth));
    EXPECT_EQ(editor.CurrentPattern(), synthPattern);
    editor.SelectMachine(nullptr);
    EXPECT_EQ(editor.CurrentPattern(), nullptr);
    EXPECT_EQ(editor.AddPattern(), nullptr);
}

TEST_F(PatternEditorCommands, RenameChangesOnlyToADifferentText)
{
    rig.AddPattern(synth);
    EXPECT_FALSE(editor.RenamePattern("Pattern 1"));
    EXPECT_TRUE(editor.RenamePattern("Verse"));
    EXPECT_EQ(editor.CurrentPattern()->Name(), "Verse");
    EXPECT_EQ(editor.NextPatternName(CSequencingRig::ControlIn(synth)), "Pattern 1");
}

TEST_F(PatternEditorCommands, PropertyChoicesNameEveryParameter)
{
    editor.SelectMachine(CSequencingRig::ContainerOf(synth));
    const auto choices = editor.PropertyChoices();
    ASSERT_EQ(choices.size(), 5u);
    EXPECT_EQ(choices[0].propertyId, -1);
    EXPECT_EQ(choices[0].name, "Velocity");
    EXPECT_EQ(choices[1].name, "Param 0");
    EXPECT_EQ(choices[2].name, "Property 1");
    EXPECT_EQ(choices[4].propertyId, 3);
}

TEST_F(PatternEditorCommands, ControlTracksAreAddedOncePerProperty)
{
    CPattern* pattern = rig.AddPattern(synth);
    editor.SelectProperty(2);
    EXPECT_TRUE(editor.AddControlTrack());
    EXPECT_FALSE(editor.AddControlTrack());
    editor.SelectProperty(-1);
    EXPECT_TRUE(editor.AddControlTrack());
    editor.SelectProperty(4);   // the machine has parameters 0 … 3
    EXPECT_FALSE(editor.AddControlTrack());
    EXPECT_EQ(pattern->ControlTrackCount(), 2);
    ASSERT_NE(pattern->VelocityTrack(), nullptr);

    editor.SelectProperty(-1);
    EXPECT_TRUE(editor.RemoveControlTrack());
    EXPECT_FALSE(editor.RemoveControlTrack());
    EXPECT_EQ(pattern->VelocityTrack(), nullptr);
    EXPECT_EQ(pattern->FindControlTrack(2), 0);
}

TEST_F(PatternEditorCommands, BoxesKeepToTheirRanges)
{
    editor.SetNoteLength(0);
    EXPECT_EQ(editor.NoteLength(), 1);
    editor.SetNoteLength(5000);
    EXPECT_EQ(editor.NoteLength(), 1024);
    editor.SetPatternLength(2000);
    EXPECT_EQ(editor.PatternLength(), 1024);
    CPattern* pattern = rig.AddPattern(synth, 0);
    EXPECT_EQ(pattern->Length(), 1);
}

TEST_F(PatternEditorCommands, PatternLengthResizesAndTheSongDropsWhatNoLongerFits)
{
    CSequenceEditor& sequence = *rig.sequenceEditor;
    const int track = sequence.Sequence().IndexOfTrack(sequence.Sequence().FindTrack(CSequencingRig::ControlIn(synth)));
    CPattern* shortOne = rig.AddPattern(synth, 4);
    CPattern* growing = rig.AddPattern(synth, 4);
    sequence.SetLength(16);
    ASSERT_TRUE(sequence.PlaceEntry(track, 0, growing));
    ASSERT_TRUE(sequence.PlaceEntry(track, 4, shortOne));
    ASSERT_TRUE(sequence.PlaceEntry(track, 8, shortOne));
    ASSERT_TRUE(sequence.PlaceEntry(track, 12, growing));

    // 4 → 10 units: the entry at 12 no longer fits; the first now covers
    // 0 … 9 and takes the two after it.
    editor.SelectPattern(growing);
    editor.SetPatternLength(10);
    EXPECT_EQ(growing->Length(), 10);
    const CSequenceTrack& row = *sequence.Sequence().Track(track);
    ASSERT_EQ(row.EntryCount(), 1);
    EXPECT_EQ(row.Entry(0)->position, 0);
    EXPECT_EQ(row.Entry(0)->pattern, growing);
}

TEST_F(PatternEditorCommands, ClearDestroysEveryPatternAndChoice)
{
    rig.AddPattern(synth);
    rig.AddPattern(twoPorts);
    editor.Clear();
    EXPECT_EQ(editor.PatternCount(), 0);
    EXPECT_EQ(editor.CurrentPattern(), nullptr);
    EXPECT_EQ(editor.ChosenMachine(), nullptr);
    EXPECT_TRUE(editor.Machines().empty());
}

TEST_F(PatternEditorCommands, DeletingAMachineDestroysAllItsPatternsAlsoNeighbours)
{
    CPattern* keep = rig.AddPattern(synth);
    rig.AddPattern(twoPorts);
    rig.AddPattern(twoPorts, 16, 1);
    rig.AddPattern(twoPorts);
    CPattern* alsoKeep = rig.AddPattern(synth);
    ASSERT_EQ(editor.ChosenMachine(), CSequencingRig::ContainerOf(synth));
    editor.SelectMachine(CSequencingRig::ContainerOf(twoPorts));

    rig.studio->DeleteMachine(CSequencingRig::ContainerOf(twoPorts));
    ASSERT_EQ(editor.PatternCount(), 2);
    EXPECT_EQ(editor.PatternAt(0), keep);
    EXPECT_EQ(editor.PatternAt(1), alsoKeep);
    EXPECT_EQ(editor.ChosenMachine(), nullptr);
    EXPECT_EQ(editor.CurrentPattern(), nullptr);
    EXPECT_EQ(editor.Machines().size(), 1u);
}
