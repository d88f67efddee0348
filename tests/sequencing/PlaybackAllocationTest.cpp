// Playback allocates nothing: the global allocation functions are replaced
// here so that every operator new on any thread is counted while a song and
// a looping pattern play.

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/ControlEvent.h"
#include "tests/sequencing/SequencingRig.h"

using allocation_counting::allocations;
using allocation_counting::counting;

using namespace sequencing_test;

TEST(PlaybackAllocation, SongAndPatternPlayWithoutAllocating)
{
    // 1200 BPM, 64 ticks per beat: 34 samples a tick, so a 1024-sample
    // block holds almost two passes of a 16-tick pattern from the pattern
    // editor and as much of the song: far more events than a buffer holds
    // before it has been sized.
    CSequencingRig rig(1024, 44100);
    rig.SetTempo(1200.0, 64.0);
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CRecordingMachine* pads = rig.AddRecorder("Pads", kPadsType);
    CPatternEditor& editor = *rig.patternEditor;
    CSequenceEditor& sequence = *rig.sequenceEditor;
    const CSequence& song = sequence.Sequence();

    for (CRecordingMachine* machine : {synth, pads}) {
        const int track = song.IndexOfTrack(song.FindTrack(CSequencingRig::ControlIn(machine)));
        for (int p = 0; p < 3; ++p) {
            CPattern* pattern = rig.AddPattern(machine, 4);
            for (int tick = 0; tick < 16; ++tick)
                editor.PressNote(tick + 0.5, machine == pads ? tick % 11 : 127 - (36 + tick), MouseButton::Left);
            for (int property : {-1, 0, 1}) {
                editor.SelectProperty(property);
                editor.AddControlTrack();
                for (int tick = 0; tick < 16; ++tick)
                    editor.PressControl(pattern->ControlTrackCount() - 1, tick, 0.5f, MouseButton::Left);
            }
            sequence.PlaceEntry(track, 4 * p, pattern);
        }
    }
    sequence.SetLength(12);
    sequence.SetLoop(true);
    sequence.Play();
    editor.SetLoopButton(true);
    editor.SetPlayButton(true);

    // From the very first block: the ports were sized while the patterns
    // were made, not by the first blocks that needed the room.
    const std::size_t before = synth->received.size() + pads->received.size();
    counting.store(true);
    rig.Render(400);
    counting.store(false);

    EXPECT_EQ(allocations.load(), 0);
    // It did play: notes, triggers and parameters of three passes.
    EXPECT_GT(synth->received.size() + pads->received.size(), before + 1000);
    EXPECT_FALSE(pads->OfType(kEventTriggerOn).empty());
}

TEST(PlaybackAllocation, ShortestPatternAtTheFastestTempoInALongBlock)
{
    // 1200 BPM, 64 ticks per beat, a pattern of one unit (4 ticks, 136
    // samples) in 4096-sample blocks: about thirty passes of it per block,
    // each with its notes and their note-offs. The port and its deferred
    // queue are sized for that when the pattern is made.
    CSequencingRig rig(4096, 44100);
    rig.SetTempo(1200.0, 64.0);
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPatternEditor& editor = *rig.patternEditor;
    rig.AddPattern(synth, 1);
    for (int tick = 0; tick < 4; ++tick) {
        editor.PressNote(tick + 0.25, 60 + tick, MouseButton::Left);
        editor.PressNote(tick + 0.5, 70 + tick, MouseButton::Left);
    }
    editor.SetLoopButton(true);
    editor.SetPlayButton(true);

    const std::size_t before = synth->received.size();
    allocations.store(0);
    counting.store(true);
    rig.Render(50);
    counting.store(false);

    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(synth->received.size(), before + 50 * 30 * 8);
}
