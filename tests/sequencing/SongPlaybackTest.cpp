// The song's playback through a real studio: entries at their offsets, an
// entry starting inside a block, song end with and without loop, and the
// buttons.
//
// At 32768 Hz, 120 BPM and 64 ticks per beat a tick lasts exactly 256
// samples; with 200-sample blocks a block covers 0.78125 ticks, so every
// position the song computes is exact in binary and the sample numbers
// below are the ones the arithmetic gives.

#include <gtest/gtest.h>

#include "framework/ControlEvent.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

namespace {

constexpr int kBlock = 200;
constexpr int kTick = 256;

class SongPlayback : public ::testing::Test {
protected:
    SongPlayback()
    {
        rig.SetTempo(120.0, 64.0);
        pattern->AddNote(0, 1, 60);
        sequence.SelectTrack(TrackOf(synth));
    }

    int TrackOf(CMachine* machine) const
    {
        return sequence.Sequence().IndexOfTrack(sequence.Sequence().FindTrack(CSequencingRig::ControlIn(machine)));
    }

    CSequencingRig rig{kBlock, 32768};
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPattern* pattern = rig.AddPattern(synth, 1);   // 4 ticks, 1024 samples
    CSequenceEditor& sequence = *rig.sequenceEditor;
};

} // namespace

TEST_F(SongPlayback, EntryStartingInsideABlockPlaysAtItsOffset)
{
    ASSERT_EQ(rig.host->GetSamplesPerTick(), kTick);
    ASSERT_TRUE(sequence.PlaceEntry(TrackOf(synth), 1, pattern));   // tick 4 = sample 1024
    sequence.Play();
    rig.Render(12);

    // Block 5 covers 1000 … 1199: the entry starts 24 samples in (D = −24).
    const auto ons = synth->OfType(kEventNoteOn);
    ASSERT_EQ(ons.size(), 1u);
    EXPECT_EQ(ons[0].block, 5);
    EXPECT_EQ(ons[0].event.time, 24);
    // Its note-off, a tick later, through the deferred queue: 1280.
    EXPECT_EQ(synth->SamplesOf(kEventNoteOff, kBlock), std::vector<long>{1280});
}

TEST_F(SongPlayback, SequenceCursorShowsWhereTheSongPlaysEachPattern)
{
    sequence.PlaceEntry(TrackOf(synth), 1, pattern);
    sequence.Play();
    rig.Render(5);
    EXPECT_EQ(pattern->SequenceCursor(), -1.0);   // not reached yet
    rig.Render(1);
    EXPECT_EQ(pattern->SequenceDisplayPosition(), -24);
    rig.Render(1);
    EXPECT_EQ(pattern->SequenceDisplayPosition(), 176);
    EXPECT_DOUBLE_EQ(pattern->SequenceCursor(), 176.0 / kTick);
}

TEST_F(SongPlayback, LoopedSongStartsAgainInsideTheBlockOfItsEnd)
{
    sequence.SetLength(2);   // 8 ticks = 2048 samples
    sequence.PlaceEntry(TrackOf(synth), 0, pattern);
    sequence.SetLoop(true);
    sequence.Play();
    rig.Render(21);

    // The end falls in block 10 (2000 … 2199) at 48; the start plays there.
    EXPECT_EQ(synth->SamplesOf(kEventNoteOn, kBlock), (std::vector<long>{0, 2048, 4096}));
    const auto ons = synth->OfType(kEventNoteOn);
    EXPECT_EQ(ons[1].block, 10);
    EXPECT_EQ(ons[1].event.time, 48);
    EXPECT_TRUE(sequence.IsPlaying());
}

TEST_F(SongPlayback, SongWithoutLoopPlaysOnceAndStopsByTheNextBlock)
{
    sequence.SetLength(2);
    sequence.PlaceEntry(TrackOf(synth), 0, pattern);
    CPattern* last = rig.AddPattern(synth, 1);
    last->AddNote(3, 1, 72);   // the song's last tick: 1792, off at 2048
    sequence.PlaceEntry(TrackOf(synth), 1, last);
    sequence.Play();
    rig.Render(11);
    EXPECT_DOUBLE_EQ(sequence.SongPosition(), 8.0);
    EXPECT_TRUE(sequence.IsPlaying());
    rig.Render(1);
    EXPECT_FALSE(sequence.IsPlaying());
    EXPECT_FALSE(sequence.IsPlayButtonDown());
    rig.Render(20);

    EXPECT_EQ(synth->SamplesOf(kEventNoteOn, kBlock), (std::vector<long>{0, 1024 + 3 * kTick}));
    EXPECT_EQ(synth->SamplesOf(kEventNoteOff, kBlock), (std::vector<long>{kTick, 2048}));
}

TEST_F(SongPlayback, NoteOffLongAfterItsNoteOnCrossesManyBlocks)
{
    CPattern* longNote = rig.AddPattern(synth, 4);
    longNote->AddNote(0, 16, 40);   // 4096 samples: 20 blocks later
    sequence.PlaceEntry(TrackOf(synth), 0, longNote);
    sequence.Play();
    rig.Render(25);
    const auto offs = synth->OfType(kEventNoteOff);
    ASSERT_EQ(offs.size(), 1u);
    EXPECT_EQ(offs[0].block, 20);
    EXPECT_EQ(offs[0].event.time, 96);
}

TEST_F(SongPlayback, PlayWhilePlayingRestartsFromTheStart)
{
    sequence.PlaceEntry(TrackOf(synth), 0, pattern);
    sequence.Play();
    rig.Render(7);
    EXPECT_GT(sequence.SongPosition(), 5.0);
    sequence.Play();
    EXPECT_EQ(sequence.SongPosition(), 0.0);
    rig.Render(1);
    EXPECT_EQ(synth->SamplesOf(kEventNoteOn, kBlock), (std::vector<long>{0, 7 * kBlock}));
}

TEST_F(SongPlayback, RecordingStartsWithTheSongAndStopsOnceWhenItEnds)
{
    std::vector<bool> recording;
    sequence.SetRecordingHandler([&recording](bool on) { recording.push_back(on); });
    sequence.SetLength(1);
    sequence.PlaceEntry(TrackOf(synth), 0, pattern);
    sequence.RecordSong(true);
    EXPECT_TRUE(sequence.IsRecordButtonDown());
    EXPECT_TRUE(sequence.IsPlayButtonDown());
    EXPECT_EQ(recording, std::vector<bool>{true});

    rig.Render(10);   // 1024 samples: over after six blocks
    EXPECT_FALSE(sequence.IsRecordButtonDown());
    EXPECT_FALSE(sequence.IsPlaying());
    // The audio thread only asks; the stop itself happens here.
    EXPECT_EQ(recording, std::vector<bool>{true});
    sequence.UpdateFromPlayback();
    sequence.UpdateFromPlayback();
    EXPECT_EQ(recording, (std::vector<bool>{true, false}));

    sequence.RecordSong(true);
    sequence.Stop();
    EXPECT_EQ(recording, (std::vector<bool>{true, false, true, false}));
}

TEST_F(SongPlayback, PatternEditorPlaysBeforeTheSongInTheSameBlock)
{
    CPattern* solo = rig.AddPattern(synth, 1);
    solo->AddNote(0, 1, 90);
    sequence.PlaceEntry(TrackOf(synth), 0, pattern);
    rig.patternEditor->SetPlayButton(true);
    sequence.Play();
    rig.Render(1);
    const auto ons = synth->OfType(kEventNoteOn);
    ASSERT_EQ(ons.size(), 2u);
    EXPECT_EQ(ons[0].event.index, 90);
    EXPECT_EQ(ons[1].event.index, 60);
}

TEST_F(SongPlayback, DeletedMachineTakesItsTracksAndPatternsWhilePlaying)
{
    sequence.SetLength(2);
    CRecordingMachine* other = rig.AddRecorder("Other");
    CPattern* a = rig.AddPattern(other, 1);
    CPattern* b = rig.AddPattern(other, 1);
    a->AddNote(0, 4, 1);
    b->AddNote(0, 4, 2);
    sequence.PlaceEntry(TrackOf(other), 0, a);
    sequence.PlaceEntry(TrackOf(other), 1, b);
    sequence.PlaceEntry(TrackOf(synth), 0, pattern);
    sequence.SelectTrack(TrackOf(other));
    const int tracksBefore = sequence.Sequence().TrackCount();
    sequence.SetLoop(true);
    sequence.Play();
    rig.Render(3);

    ASSERT_TRUE(rig.studio->DeleteMachine(CSequencingRig::ContainerOf(other)));
    EXPECT_EQ(sequence.Sequence().TrackCount(), tracksBefore - 1);
    EXPECT_EQ(sequence.SelectedTrack(), nullptr);
    EXPECT_EQ(rig.patternEditor->PatternCount(), 1);
    EXPECT_EQ(rig.patternEditor->PatternAt(0), pattern);
    rig.Render(30);
    EXPECT_GE(synth->OfType(kEventNoteOn).size(), 2u);
}
