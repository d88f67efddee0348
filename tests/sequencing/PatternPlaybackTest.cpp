// The pattern editor's playback through a real studio: event kinds, values
// and sample times, the deferred note-offs, looping and stopping.
//
// At 44100 Hz, 140 BPM and 16 ticks per beat a tick lasts 1181 samples
// (1181.25 truncated); blocks are 256 samples.

#include <gtest/gtest.h>

#include "framework/ControlEvent.h"
#include "tests/sequencing/SequencingRig.h"

using namespace sequencing_test;

namespace {

constexpr int kTick = 1181;
constexpr int kBlock = 256;

class PatternPlayback : public ::testing::Test {
protected:
    CSequencingRig rig{kBlock, 44100};
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPattern* pattern = rig.AddPattern(synth, 16);
    CPatternEditor& editor = *rig.patternEditor;
};

} // namespace

TEST_F(PatternPlayback, NoteOnArrivesAtItsSampleAndNoteOffThroughTheDeferredQueue)
{
    pattern->AddNote(3, 2, 60);
    editor.SetPlayButton(true);
    rig.Render(30);

    const auto ons = synth->OfType(kEventNoteOn);
    ASSERT_EQ(ons.size(), 1u);
    // 3 × 1181 = 3543 = block 13 + 215.
    EXPECT_EQ(ons[0].block, 13);
    EXPECT_EQ(ons[0].event.time, 215);
    EXPECT_EQ(ons[0].event.index, 60);
    EXPECT_EQ(ons[0].event.size, 40);
    EXPECT_DOUBLE_EQ(ons[0].event.value, 100.0 / 127.0);
    double frequency = 0.0;
    rig.host->GetNoteFrequency(60, &frequency);
    EXPECT_EQ(ons[0].event.frequency, frequency);

    // 5 × 1181 = 5905 = block 23 + 17, ten blocks after the note-on.
    const auto offs = synth->OfType(kEventNoteOff);
    ASSERT_EQ(offs.size(), 1u);
    EXPECT_EQ(offs[0].block, 23);
    EXPECT_EQ(offs[0].event.time, 17);
    EXPECT_EQ(offs[0].event.index, 60);
}

TEST_F(PatternPlayback, LoopingPatternWrapsInsideTheBlock)
{
    editor.SetPatternLength(1);   // 4 ticks: S = 4724 samples
    pattern->AddNote(0, 1, 64);
    editor.SetLoopButton(true);
    editor.SetPlayButton(true);
    rig.Render(42);

    // The wrap falls in block 18 (4608 … 4863) at S − p = 116, the next one
    // in block 36 at 232.
    EXPECT_EQ(synth->SamplesOf(kEventNoteOn, kBlock), (std::vector<long>{0, 4724, 9448}));
    const auto ons = synth->OfType(kEventNoteOn);
    EXPECT_EQ(ons[1].block, 18);
    EXPECT_EQ(ons[1].event.time, 116);
    EXPECT_EQ(synth->SamplesOf(kEventNoteOff, kBlock), (std::vector<long>{1181, 5905, 10629}));
    EXPECT_TRUE(editor.IsPlayButtonDown());
}

TEST_F(PatternPlayback, PatternWithoutLoopStopsAtItsEndAndReleasesPlay)
{
    editor.SetPatternLength(1);
    pattern->AddNote(0, 1, 64);
    editor.SetPlayButton(true);
    rig.Render(19);   // the end, 4724, falls in block 18
    EXPECT_FALSE(pattern->IsPlaying());
    EXPECT_EQ(pattern->PlayPosition(), 0);
    EXPECT_TRUE(editor.IsPlayButtonDown());
    rig.Render(1);
    EXPECT_FALSE(editor.IsPlayButtonDown());
    EXPECT_EQ(editor.PlayCursor(), -1.0);
    rig.Render(30);
    EXPECT_EQ(synth->OfType(kEventNoteOn).size(), 1u);
}

TEST(PatternPlaybackFast, LoopShorterThanABlockFillsTheWholeBlock)
{
    // 1200 BPM, 64 ticks per beat: a tick is 34 samples, a one-unit pattern
    // 136, less than the 512-sample block.
    CSequencingRig rig(512, 44100);
    rig.SetTempo(1200.0, 64.0);
    CRecordingMachine* synth = rig.AddRecorder("Synth");
    CPattern* pattern = rig.AddPattern(synth, 1);
    pattern->AddNote(0, 1, 64);
    rig.patternEditor->SetLoopButton(true);
    rig.patternEditor->SetPlayButton(true);
    rig.Render(2);

    std::vector<long> expected;
    for (long sample = 0; sample < 1024; sample += 136)
        expected.push_back(sample);
    EXPECT_EQ(synth->SamplesOf(kEventNoteOn, 512), expected);
    EXPECT_EQ(pattern->PlayPosition(), 1024 % 136);
}

TEST_F(PatternPlayback, ControlValuesComeBeforeNotesAndNoteOffsFirst)
{
    const int track = pattern->AddControlTrack(2);
    pattern->ControlTrack(track)->SetPoint(1, 0.25f);
    pattern->AddNote(0, 1, 60);   // its note-off falls at tick 1
    pattern->AddNote(1, 1, 62);
    editor.SetPlayButton(true);
    rig.Render(6);

    // All three at sample 1181 (block 4 + 157): the note-off is handed out
    // first, then the events in the order they were written.
    std::vector<int> typesAtTick1;
    for (const CReceived& item : synth->received) {
        if (item.block == 4 && item.event.time == 157)
            typesAtTick1.push_back(item.event.type);
    }
    EXPECT_EQ(typesAtTick1, (std::vector<int>{kEventNoteOff, kEventParameter, kEventNoteOn}));
    const auto parameters = synth->OfType(kEventParameter);
    ASSERT_EQ(parameters.size(), 1u);
    EXPECT_EQ(parameters[0].event.index, 2);
    EXPECT_EQ(parameters[0].event.value, static_cast<double>(0.25f));
}

TEST_F(PatternPlayback, VelocityComesFromTheStartTickEvenWhenUnset)
{
    pattern->AddNote(0, 1, 60);
    pattern->AddNote(2, 1, 61);
    pattern->AddNote(4, 1, 62);
    const int track = pattern->AddControlTrack(CControlTrack::kVelocityId);
    CControlTrack& velocity = *pattern->ControlTrack(track);
    velocity.SetPoint(2, 0.5f);
    velocity.ClearPoint(4);
    editor.SetPlayButton(true);
    rig.Render(25);

    const auto ons = synth->OfType(kEventNoteOn);
    ASSERT_EQ(ons.size(), 3u);
    EXPECT_EQ(ons[0].event.value, 1.0);   // a new velocity track's points
    EXPECT_EQ(ons[1].event.value, 0.5);
    EXPECT_EQ(ons[2].event.value, 0.0);
}

TEST(PatternPlaybackTriggers, TriggerMachinesGetTriggerEvents)
{
    CSequencingRig rig;
    CRecordingMachine* pads = rig.AddRecorder("Pads", kPadsType);
    CPattern* pattern = rig.AddPattern(pads);
    pattern->AddNote(1, 1, 7);
    rig.patternEditor->SetPlayButton(true);
    rig.Render(12);
    const auto ons = pads->OfType(kEventTriggerOn);
    const auto offs = pads->OfType(kEventTriggerOff);
    ASSERT_EQ(ons.size(), 1u);
    ASSERT_EQ(offs.size(), 1u);
    EXPECT_EQ(ons[0].event.index, 7);
    EXPECT_EQ(ons[0].event.frequency, 0.0);
    EXPECT_EQ(pads->SamplesOf(kEventTriggerOn, 256), std::vector<long>{kTick});
    EXPECT_EQ(pads->SamplesOf(kEventTriggerOff, 256), std::vector<long>{2 * kTick});
    EXPECT_TRUE(pads->OfType(kEventNoteOn).empty());
}

TEST_F(PatternPlayback, PauseResumesWhereItWasAndStopRewinds)
{
    pattern->AddNote(2, 1, 60);
    editor.SetPlayButton(true);
    rig.Render(5);   // up to 1280
    editor.SetPlayButton(false);
    EXPECT_EQ(pattern->PlayCursor(), -1.0);
    rig.Render(10);
    editor.SetPlayButton(true);
    rig.Render(10);
    // Played from 1280 on after ten silent blocks: 2362 lands at 2362 + 2560.
    EXPECT_EQ(synth->SamplesOf(kEventNoteOn, kBlock), std::vector<long>{2 * kTick + 2560});

    editor.PressStopButton();
    EXPECT_FALSE(editor.IsPlayButtonDown());
    EXPECT_EQ(pattern->PlayPosition(), 0);
    rig.Render(3);
    EXPECT_EQ(synth->OfType(kEventNoteOn).size(), 1u);
}

TEST_F(PatternPlayback, ChoosingAnotherPatternWhilePlayingStartsItFromItsStart)
{
    CPattern* second = rig.AddPattern(synth, 16);
    second->AddNote(0, 1, 70);
    pattern->AddNote(0, 1, 50);
    editor.SelectPattern(pattern);
    editor.SetPlayButton(true);
    rig.Render(3);
    editor.SelectPattern(second);
    EXPECT_TRUE(second->IsPlaying());
    EXPECT_TRUE(pattern->IsStopRequested());
    rig.Render(3);
    const auto ons = synth->OfType(kEventNoteOn);
    ASSERT_EQ(ons.size(), 2u);
    EXPECT_EQ(ons[1].event.index, 70);
    EXPECT_EQ(ons[1].block, 3);
    EXPECT_EQ(ons[1].event.time, 0);
}

TEST_F(PatternPlayback, PlayCursorFollowsThePosition)
{
    editor.SetPlayButton(true);
    rig.Render(10);
    EXPECT_DOUBLE_EQ(editor.PlayCursor(), 2560.0 / kTick);
}
