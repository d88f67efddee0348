// The pattern's content rules: placement, velocity bookkeeping, resizing
// and control tracks.

#include <gtest/gtest.h>

#include <bit>

#include "framework/Error.h"
#include "host/CorvHost.h"
#include "sequencing/Pattern.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

namespace {

std::uint32_t Bits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

class PatternContent : public ::testing::Test {
protected:
    CCorvHost host{256, 44100, 0};
    CPattern pattern{&host, 16, "Pattern 1", nullptr};
};

} // namespace

TEST_F(PatternContent, NewNoteGivesAnUnsetVelocityPointOneHundredOf127)
{
    const int velocity = pattern.AddControlTrack(CControlTrack::kVelocityId);
    CControlTrack& track = *pattern.ControlTrack(velocity);
    ASSERT_EQ(track.PointCount(), 64);
    for (int tick = 0; tick < 64; ++tick) {
        EXPECT_TRUE(track.IsSet(tick));
        EXPECT_EQ(track.Point(tick).value, 1.0f);
    }

    track.ClearPoint(5);
    pattern.AddNote(5, 2, 60);
    EXPECT_TRUE(track.IsSet(5));
    EXPECT_EQ(Bits(track.Point(5).value), 0x3f499326u);

    // A point that is set keeps its value when a note starts there.
    track.SetPoint(9, 0.25f);
    pattern.AddNote(9, 1, 61);
    EXPECT_EQ(track.Point(9).value, 0.25f);
}

TEST_F(PatternContent, VelocityPointStaysWhileANoteStillStartsThere)
{
    pattern.AddControlTrack(CControlTrack::kVelocityId);
    CControlTrack& track = *pattern.VelocityTrack();
    CNote* low = pattern.AddNote(8, 4, 48);
    CNote* high = pattern.AddNote(8, 2, 72);
    pattern.AddNote(12, 1, 48);

    pattern.RemoveNote(low);
    EXPECT_TRUE(track.IsSet(8));
    pattern.RemoveNote(high);
    EXPECT_FALSE(track.IsSet(8));
    EXPECT_EQ(track.Point(8).value, 0.0f);
    EXPECT_TRUE(track.IsSet(12));
    EXPECT_EQ(pattern.NoteCount(), 1);
}

TEST_F(PatternContent, ShrinkingRemovesWholeNotesThatEndPastTheNewEnd)
{
    pattern.AddControlTrack(CControlTrack::kVelocityId);
    pattern.AddControlTrack(2);
    pattern.AddNote(30, 4, 60);             // ends 34
    pattern.AddNote(28, 8, 62);             // ends 36
    CNote* kept = pattern.AddNote(28, 4, 64);   // ends 32
    pattern.AddNote(20, 16, 66);            // starts inside, ends 36
    pattern.AddNote(40, 4, 60);             // outside entirely

    pattern.Resize(8);

    EXPECT_EQ(pattern.Length(), 8);
    ASSERT_EQ(pattern.NoteCount(), 1);
    EXPECT_EQ(pattern.FirstNote(), kept);
    EXPECT_EQ(pattern.VelocityTrack()->PointCount(), 32);
    EXPECT_EQ(pattern.ControlTrack(1)->PointCount(), 32);
    // Tick 28 keeps its point for the note that stays; tick 20 and 30 lose
    // theirs.
    EXPECT_TRUE(pattern.VelocityTrack()->IsSet(28));
    EXPECT_FALSE(pattern.VelocityTrack()->IsSet(20));
    EXPECT_FALSE(pattern.VelocityTrack()->IsSet(30));
}

TEST_F(PatternContent, GrowingAddsPointsAsANewTrackHasThem)
{
    pattern.AddControlTrack(CControlTrack::kVelocityId);
    pattern.AddControlTrack(0);
    pattern.ControlTrack(1)->SetPoint(63, 0.5f);
    pattern.Resize(17);
    ASSERT_EQ(pattern.VelocityTrack()->PointCount(), 68);
    EXPECT_TRUE(pattern.VelocityTrack()->IsSet(67));
    EXPECT_EQ(pattern.VelocityTrack()->Point(67).value, 1.0f);
    EXPECT_FALSE(pattern.ControlTrack(1)->IsSet(64));
    EXPECT_TRUE(pattern.ControlTrack(1)->IsSet(63));
}

TEST_F(PatternContent, PlacementRuleGuardsBoundsAndOverlaps)
{
    pattern.AddNote(10, 4, 60);   // ticks 10 … 13
    // Starting where the other ends is allowed; starting inside is not,
    // also when both would end at the same tick.
    EXPECT_TRUE(pattern.CanPlaceNote(14, 2, 60, nullptr));
    EXPECT_TRUE(pattern.CanPlaceNote(6, 4, 60, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(12, 2, 60, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(13, 1, 60, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(8, 3, 60, nullptr));
    EXPECT_TRUE(pattern.CanPlaceNote(12, 2, 61, nullptr));
    EXPECT_TRUE(pattern.CanPlaceNote(11, 1, 60, pattern.FirstNote()));

    EXPECT_TRUE(pattern.CanPlaceNote(63, 1, 0, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(63, 2, 0, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(64, 1, 0, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(-1, 1, 0, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(0, 0, 0, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(0, 1, 128, nullptr));
    EXPECT_FALSE(pattern.CanPlaceNote(0, 1, -1, nullptr));
    EXPECT_TRUE(pattern.CanPlaceNote(0, 1, 127, nullptr));
}

TEST(PatternTriggers, NoteNumbersOfATriggerMachineAreItsIndexes)
{
    CSequencingRig rig;
    CRecordingMachine* pads = rig.AddRecorder("Pads", kPadsType);
    CPattern* pattern = rig.AddPattern(pads);
    EXPECT_TRUE(pattern->CanPlaceNote(0, 1, 10, nullptr));
    EXPECT_FALSE(pattern->CanPlaceNote(0, 1, 11, nullptr));
    EXPECT_EQ(pattern->TriggerCount(), 11);
}

TEST_F(PatternContent, ControlTracksAreFoundAndRemovedByIndex)
{
    EXPECT_EQ(pattern.AddControlTrack(3), 0);
    EXPECT_EQ(pattern.AddControlTrack(CControlTrack::kVelocityId), 1);
    EXPECT_EQ(pattern.AddControlTrack(1), 2);
    EXPECT_EQ(pattern.FindControlTrack(1), 2);
    EXPECT_EQ(pattern.FindControlTrack(7), -1);

    pattern.RemoveControlTrack(1);
    EXPECT_EQ(pattern.VelocityTrack(), nullptr);
    EXPECT_EQ(pattern.FindControlTrack(1), 1);
    try {
        pattern.RemoveControlTrack(2);
        FAIL() << "no error";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "CArray::RemoveItem - Index Out Of Bounds (2)");
    }
    EXPECT_THROW(pattern.RemoveControlTrack(-1), CError);
}

TEST_F(PatternContent, MovingANoteTakesItsVelocityAlong)
{
    pattern.AddControlTrack(CControlTrack::kVelocityId);
    CControlTrack& track = *pattern.VelocityTrack();
    track.ClearPoint(20);
    CNote* note = pattern.AddNote(4, 2, 60);
    track.SetPoint(4, 0.5f);

    pattern.PlaceNote(note, 20, 2, 60);
    EXPECT_EQ(track.Point(20).value, 0.5f);
    EXPECT_FALSE(track.IsSet(4));

    // Onto a tick whose point another note already owns: that point stays.
    pattern.AddNote(30, 1, 50);
    track.SetPoint(30, 0.75f);
    pattern.PlaceNote(note, 30, 1, 60);
    EXPECT_EQ(track.Point(30).value, 0.75f);
    EXPECT_FALSE(track.IsSet(20));
}

TEST_F(PatternContent, NotesKeepInsertionOrderAndCount)
{
    CNote* a = pattern.AddNote(9, 1, 1);
    CNote* b = pattern.AddNote(0, 1, 2);
    CNote* c = pattern.AddNote(5, 1, 3);
    pattern.RemoveNote(b);
    ASSERT_EQ(pattern.NoteCount(), 2);
    EXPECT_EQ(pattern.FirstNote(), a);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(pattern.LastNote(), c);
    EXPECT_EQ(pattern.NoteAt(5, 3), c);
    EXPECT_EQ(pattern.NoteAt(6, 3), nullptr);
    EXPECT_EQ(pattern.EventCount(), 4);
}
