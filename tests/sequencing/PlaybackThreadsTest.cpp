// Edits made on this thread while another thread renders blocks, the way
// the user-interface thread edits while the driver plays: nothing may crash
// (the sanitizers watch every access), and no note may lose its note-off.

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "framework/ControlEvent.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

TEST(PlaybackThreads, EditsDuringPlaybackNeverLoseANoteOff)
{
    CSequencingRig rig(128, 44100);
    rig.SetTempo(600.0, 16.0);   // 275 samples a tick: many notes per second
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPatternEditor& editor = *rig.patternEditor;
    CSequenceEditor& sequence = *rig.sequenceEditor;
    const CSequence& song = sequence.Sequence();
    const int track = song.IndexOfTrack(song.FindTrack(CSequencingRig::ControlIn(synth)));

    CPattern* looping = rig.AddPattern(synth, 2);
    editor.SelectProperty(0);
    editor.AddControlTrack();
    editor.SetLoopButton(true);
    editor.SetPlayButton(true);
    sequence.SetLength(8);
    sequence.SetLoop(true);
    sequence.Play();

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        while (!stop.load())
            rig.Render(1);
    });

    for (int round = 0; round < 300; ++round) {
        const int tick = round % 8;
        editor.PressNote(tick + 0.5, 127 - (40 + round % 24), MouseButton::Left);
        editor.DragNote(tick + 1.5, 0);
        editor.ReleaseNote();
        editor.PressControl(0, round % 8, 0.5f, MouseButton::Left);
        if (round % 3 == 0)
            editor.PressNote(tick + 0.5, 127 - (40 + (round + 5) % 24), MouseButton::Right);

        // A pattern of the song made, filled, placed, resized and removed.
        CPattern* entry = rig.AddPattern(synth, 1 + round % 3);
        editor.PressNote(0.5, 127 - 60, MouseButton::Left);
        sequence.PlaceEntry(track, round % 6, entry);
        if (round % 4 == 1)
            editor.SetPatternLength(3);
        if (round % 2 == 0)
            editor.RemovePattern();
        editor.SelectPattern(looping);
    }
    editor.PressStopButton();
    sequence.Stop();
    stop.store(true);
    audio.join();
    // Long enough for every queued note-off to arrive.
    rig.Render(200);

    std::map<int, int> open;
    for (const CReceived& item : synth->received) {
        if (item.event.type == kEventNoteOn)
            ++open[item.event.index];
        else if (item.event.type == kEventNoteOff)
            --open[item.event.index];
    }
    EXPECT_GT(synth->OfType(kEventNoteOn).size(), 10u);
    for (const auto& [note, count] : open)
        EXPECT_EQ(count, 0) << "note " << note;
}

TEST(PlaybackThreads, ClearingAndDeletingWhilePlayingIsSafe)
{
    CSequencingRig rig(64, 44100);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        while (!stop.load())
            rig.Render(1);
    });
    for (int round = 0; round < 20; ++round) {
        CRecordingMachine* synth = rig.AddRecorder("Synth");
        CPattern* pattern = rig.AddPattern(synth, 1);
        pattern->AddNote(0, 2, 60);
        rig.patternEditor->SetLoopButton(true);
        rig.patternEditor->SetPlayButton(true);
        const CSequence& song = rig.sequenceEditor->Sequence();
        rig.sequenceEditor->PlaceEntry(song.IndexOfTrack(song.FindTrack(CSequencingRig::ControlIn(synth))), 0,
                                       pattern);
        rig.sequenceEditor->Play();
        if (round % 2 == 0)
            rig.studio->DeleteMachine(CSequencingRig::ContainerOf(synth));
    }
    EXPECT_GT(rig.studio->Containers().size(), 1u);
    rig.studio->Lock().Lock();
    rig.sequenceEditor->Clear();
    rig.patternEditor->Clear();
    rig.studio->Clear();
    rig.studio->Lock().Unlock();
    stop.store(true);
    audio.join();
    EXPECT_EQ(rig.patternEditor->PatternCount(), 0);
    EXPECT_EQ(rig.sequenceEditor->Sequence().TrackCount(), 0);
}
