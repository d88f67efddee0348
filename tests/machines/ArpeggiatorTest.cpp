// The arpeggiator driven block by block as the engine drives it: control
// inputs filled, the control output cleared, Work, and the output read.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "machines/Arpeggiator.h"
#include "tests/host/TestMachines.h"

namespace {

constexpr int kBlock = 256;

struct Note {
    long long at;   // absolute sample
    int type;
    int index;
    double value;
    double frequency;
};

class ArpeggiatorRig {
public:
    // 960 BPM at 16 steps per beat: 60 / 15360 = 2^-8 beats exactly, so a
    // step is 44100 / 256 = 172.27 samples, truncated to 172.
    static constexpr int kStep = 172;

    explicit ArpeggiatorRig(double tempo = 960.0, int stepsPerBeat = 16) : host(kBlock, 44100, 0), arp(&host)
    {
        host.SetTempo(tempo);
        arp.SetStepsPerBeat(stepsPerBeat);
    }

    void NoteAt(int block, int time, int type, int note) { inputs.push_back({block, MakeControlEvent(type, time, note, 1.0)}); }

    /// Runs blocks and returns every event of Control Out, stamped with its
    /// absolute sample.
    std::vector<Note> Run(int blocks)
    {
        std::vector<Note> notes;
        for (int b = 0; b < blocks; ++b, ++block) {
            CControlBuffer* in = arp.ports[CArpeggiator::kControlIn]->control;
            CControlBuffer* out = arp.ports[CArpeggiator::kControlOut]->control;
            in->Clear();
            out->Clear();
            for (const auto& input : inputs) {
                if (input.block == block)
                    in->Insert(&input.event);
            }
            arp.Work();
            ControlEvent event;
            while (out->Pop(&event)) {
                EXPECT_GE(event.time, 0);
                EXPECT_LT(event.time, kBlock);
                notes.push_back({static_cast<long long>(block) * kBlock + event.time, event.type, event.index,
                                 event.value, event.frequency});
            }
        }
        return notes;
    }

    static std::vector<long long> Times(const std::vector<Note>& notes, int type)
    {
        std::vector<long long> times;
        for (const Note& note : notes) {
            if (note.type == type)
                times.push_back(note.at);
        }
        return times;
    }

    CCorvHost host;
    CArpeggiator arp;
    int block = 0;

private:
    struct Input {
        int block;
        ControlEvent event;
    };
    std::vector<Input> inputs;
};

/// Every column plays the held note itself (row 11).
void EveryColumnPlaysTheBase(CArpeggiator& arp)
{
    for (int column = 0; column < CArpeggiator::kMaxSteps; ++column)
        arp.SetCell(11, column, true);
}

} // namespace

TEST(Arpeggiator, StepLengthFollowsTempoAndStepsPerBeatTruncated)
{
    CCorvHost host(kBlock, 44100, 0);
    CArpeggiator arp(&host);
    host.SetTempo(140.0);
    arp.SetStepsPerBeat(16);
    EXPECT_EQ(arp.StepLength(), 1181);   // 1181.25
    host.SetTempo(960.0);
    EXPECT_EQ(arp.StepLength(), 172);    // 172.27
    arp.SetStepsPerBeat(4);
    EXPECT_EQ(arp.StepLength(), 689);    // 689.06
    // Tempos no spin control gives: a step of under a sample lasts one (so
    // a block ends), and a tempo of 0 gives the longest step there is
    // instead of an undefined conversion.
    host.SetTempo(1e9);
    EXPECT_EQ(arp.StepLength(), 1);
    host.SetTempo(0.0);
    EXPECT_EQ(arp.StepLength(), INT_MAX);
}

TEST(Arpeggiator, StepsFallEveryStepLengthFromTheNoteOnAcrossBlocks)
{
    ArpeggiatorRig rig;
    EveryColumnPlaysTheBase(rig.arp);
    rig.NoteAt(0, 10, kEventNoteOn, 60);
    const std::vector<Note> notes = rig.Run(8);

    std::vector<long long> expectedOns;
    std::vector<long long> expectedOffs;
    for (long long at = 10; at < 8 * kBlock; at += ArpeggiatorRig::kStep) {
        expectedOns.push_back(at);
        if (at + ArpeggiatorRig::kStep < 8 * kBlock)
            expectedOffs.push_back(at + ArpeggiatorRig::kStep);
    }
    EXPECT_EQ(ArpeggiatorRig::Times(notes, kEventNoteOn), expectedOns);
    EXPECT_EQ(ArpeggiatorRig::Times(notes, kEventNoteOff), expectedOffs);
    // Where a step ends and the next begins on one sample, the off leaves first.
    for (std::size_t i = 1; i < notes.size(); ++i) {
        if (notes[i].at == notes[i - 1].at) {
            EXPECT_EQ(notes[i - 1].type, kEventNoteOff) << notes[i].at;
        }
    }
    for (const Note& note : notes) {
        EXPECT_EQ(note.index, 60);
        if (note.type == kEventNoteOn) {
            EXPECT_DOUBLE_EQ(note.value, 100.0 / 127.0);
            double frequency = 0.0;
            rig.host.GetNoteFrequency(60, &frequency);
            EXPECT_EQ(note.frequency, frequency);
        }
    }
}

TEST(Arpeggiator, StepLongerThanTheBlockCarriesItsPhaseIntoLaterBlocks)
{
    ArpeggiatorRig rig(960.0, 4);   // 689 samples a step, 2.7 blocks
    EveryColumnPlaysTheBase(rig.arp);
    rig.NoteAt(1, 200, kEventNoteOn, 48);
    const std::vector<Note> notes = rig.Run(12);
    const std::vector<long long> ons = ArpeggiatorRig::Times(notes, kEventNoteOn);
    ASSERT_GE(ons.size(), 3u);
    for (std::size_t i = 0; i < ons.size(); ++i)
        EXPECT_EQ(ons[i], 256 + 200 + 689 * static_cast<long long>(i));
    const std::vector<long long> offs = ArpeggiatorRig::Times(notes, kEventNoteOff);
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(offs[0], ons[0] + 689);
}

TEST(Arpeggiator, RowsAreTheHeldNoteAndTheElevenSemitonesAboveHighestFirst)
{
    ArpeggiatorRig rig;
    rig.arp.SetLength(3);
    rig.arp.SetCell(11, 0, true);   // the held note
    rig.arp.SetCell(0, 1, true);    // 11 semitones up
    rig.arp.SetCell(5, 2, true);
    rig.arp.SetCell(6, 2, true);
    rig.arp.SetCell(0, 3, true);    // beyond the length: never played
    rig.NoteAt(0, 0, kEventNoteOn, 60);
    const std::vector<Note> notes = rig.Run(5);   // 8 steps in 1280 samples

    std::vector<int> played;
    for (const Note& note : notes) {
        if (note.type == kEventNoteOn)
            played.push_back(note.index);
    }
    // Columns 0, 1, 2, 0, 1, 2, 0, 1; two rows of one column in row order.
    const std::vector<int> expected = {60, 71, 66, 65, 60, 71, 66, 65, 60, 71};
    EXPECT_EQ(played, expected);
}

TEST(Arpeggiator, LengthOneRepeatsColumnZeroAndShorteningSkipsToTheStart)
{
    ArpeggiatorRig rig;
    rig.arp.SetCell(11, 0, true);
    rig.arp.SetCell(0, 1, true);
    rig.arp.SetLength(1);
    rig.NoteAt(0, 0, kEventNoteOn, 40);
    const std::vector<Note> repeated = rig.Run(3);
    EXPECT_EQ(ArpeggiatorRig::Times(repeated, kEventNoteOn).size(), 5u);
    for (const Note& note : repeated)
        EXPECT_EQ(note.index, 40);

    // Steps longer than a block, so the cursor stops at every column: with
    // length 8 run until it stands at column 5, then shorten to 2. The next
    // step plays column 0, not a column past the end.
    ArpeggiatorRig slow(960.0, 4);
    slow.arp.SetCell(11, 0, true);
    slow.arp.SetCell(0, 1, true);
    slow.arp.SetCell(5, 5, true);
    slow.arp.SetLength(8);
    slow.NoteAt(0, 0, kEventNoteOn, 40);
    for (int i = 0; i < 64 && slow.arp.Column() != 5; ++i)
        slow.Run(1);
    ASSERT_EQ(slow.arp.Column(), 5);
    slow.arp.SetLength(2);
    std::vector<int> played;
    for (const Note& note : slow.Run(6)) {
        if (note.type == kEventNoteOn)
            played.push_back(note.index);
    }
    ASSERT_GE(played.size(), 2u);
    EXPECT_EQ(played[0], 40);
    EXPECT_EQ(played[1], 51);
}

TEST(Arpeggiator, OnlyTheBaseNoteStopsItAndASecondNoteOnRestartsAtColumnZero)
{
    ArpeggiatorRig rig;
    EveryColumnPlaysTheBase(rig.arp);
    rig.NoteAt(0, 0, kEventNoteOn, 60);
    rig.NoteAt(0, 100, kEventNoteOff, 61);   // not the held note: ignored
    rig.NoteAt(1, 50, kEventNoteOn, 64);     // moves the base, restarts
    rig.NoteAt(2, 30, kEventNoteOff, 64);    // stops
    const std::vector<Note> notes = rig.Run(5);

    std::vector<Note> ons;
    for (const Note& note : notes) {
        if (note.type == kEventNoteOn)
            ons.push_back(note);
    }
    // 0 and 172 on note 60; from 306 on note 64 at 306 and 478; then silence.
    ASSERT_EQ(ons.size(), 4u);
    EXPECT_EQ(ons[0].at, 0);
    EXPECT_EQ(ons[1].at, 172);
    EXPECT_EQ(ons[1].index, 60);
    EXPECT_EQ(ons[2].at, 306);
    EXPECT_EQ(ons[2].index, 64);
    EXPECT_EQ(ons[3].at, 478);
    EXPECT_FALSE(rig.arp.IsActive());
    EXPECT_EQ(rig.arp.BaseNote(), 0);

    // The off of the last step, due after the stop, still arrives.
    const std::vector<long long> offs = ArpeggiatorRig::Times(notes, kEventNoteOff);
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(offs.back(), 478 + 172);
    EXPECT_EQ(offs.size(), ons.size());
}

TEST(Arpeggiator, NoteOffDueAtTheBlockEndWaitsForTheNextBlockAtTimeZero)
{
    ArpeggiatorRig rig;
    rig.arp.SetCell(11, 0, true);
    rig.arp.SetLength(1);
    rig.NoteAt(0, kBlock - ArpeggiatorRig::kStep, kEventNoteOn, 60);   // its off lands on 256
    rig.NoteAt(1, 0, kEventNoteOff, 60);                                // no further steps

    const std::vector<Note> first = rig.Run(1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].type, kEventNoteOn);
    const std::vector<Note> next = rig.Run(1);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].type, kEventNoteOff);
    EXPECT_EQ(next[0].at, kBlock);   // time 0 of the second block
}

TEST(Arpeggiator, NotesAboveTheMidiRangeAreLeftOut)
{
    ArpeggiatorRig rig;
    rig.arp.SetLength(1);
    rig.arp.SetCell(0, 0, true);    // 120 + 11 = 131: no such note
    rig.arp.SetCell(4, 0, true);    // 127
    rig.arp.SetCell(11, 0, true);   // 120
    rig.NoteAt(0, 0, kEventNoteOn, 120);
    std::vector<int> played;
    for (const Note& note : rig.Run(1)) {
        if (note.type == kEventNoteOn)
            played.push_back(note.index);
    }
    EXPECT_EQ(played, (std::vector<int>{127, 120, 127, 120}));
}

TEST(Arpeggiator, AOneSampleStepFillsABlockWithoutOutgrowingItsBuffers)
{
    ArpeggiatorRig rig(1e9);   // one-sample steps
    for (int row = 0; row < CArpeggiator::kRows; ++row)
        rig.arp.SetCell(row, 0, true);
    rig.arp.SetLength(1);
    rig.arp.SetBlockSize(4096);
    CControlBuffer* in = rig.arp.ports[CArpeggiator::kControlIn]->control;
    CControlBuffer* out = rig.arp.ports[CArpeggiator::kControlOut]->control;
    const ControlEvent on = MakeControlEvent(kEventNoteOn, 0, 60, 1.0);
    in->Insert(&on);
    rig.arp.Work();
    const int count = out->Count();
    EXPECT_GT(count, 0);
    EXPECT_LE(count, CArpeggiator::kEventCapacity);
    // Whole notes only: every on that was kept has its off.
    int ons = 0;
    int offs = 0;
    for (int i = 0; i < count; ++i)
        (out->At(i)->type == kEventNoteOn ? ons : offs) += 1;
    EXPECT_EQ(ons, offs);
}

TEST(Arpeggiator, StateIsStepsLengthAndTheGridRowMajorIn392Bytes)
{
    CCorvHost host(kBlock, 44100, 0);
    CArpeggiator arp(&host);
    arp.SetStepsPerBeat(7);
    arp.SetLength(19);
    arp.SetCell(0, 0, true);
    arp.SetCell(3, 31, true);
    arp.SetCell(11, 5, true);

    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    arp.SaveState(&data, &length, &hostFormat);
    ASSERT_EQ(length, 392);
    EXPECT_FALSE(hostFormat);
    const auto* bytes = static_cast<const unsigned char*>(data);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(bytes[4], 19);
    int set = 0;
    for (int i = 8; i < 392; ++i)
        set += bytes[i];
    EXPECT_EQ(set, 3);
    EXPECT_EQ(bytes[8 + 0 * 32 + 0], 1);
    EXPECT_EQ(bytes[8 + 3 * 32 + 31], 1);
    EXPECT_EQ(bytes[8 + 11 * 32 + 5], 1);

    CArpeggiator copy(&host);
    copy.LoadState(data, length, false);
    EXPECT_EQ(copy.GetStepsPerBeat(), 7);
    EXPECT_EQ(copy.GetLength(), 19);
    EXPECT_TRUE(copy.GetCell(3, 31));
    EXPECT_FALSE(copy.GetCell(3, 30));

    // Any other length leaves the machine as it was.
    std::vector<unsigned char> changed(static_cast<const unsigned char*>(data),
                                       static_cast<const unsigned char*>(data) + 392);
    changed[0] = 2;
    changed.push_back(0);
    for (int badLength : {0, 8, 391, 393}) {
        copy.LoadState(changed.data(), badLength, false);
        EXPECT_EQ(copy.GetStepsPerBeat(), 7) << badLength;
    }
    // Out-of-range numbers from a damaged file are brought into range, so a
    // length of 0 cannot stop the machine in its first step.
    changed.pop_back();
    std::memset(changed.data(), 0, 4);
    std::memset(changed.data() + 4, 0xFF, 4);   // -1
    copy.LoadState(changed.data(), 392, false);
    EXPECT_EQ(copy.GetStepsPerBeat(), 1);
    EXPECT_EQ(copy.GetLength(), 1);
    std::free(data);
}

TEST(Arpeggiator, InTheStudioItsNotesReachTheNextMachineAcrossBlocks)
{
    engine_test::CEngineStudio studio(kBlock, 2, true, 44100);
    studio.host.SetTempo(960.0);
    auto* source = studio.Add<engine_test::CControlSource>("Keys");
    auto* arp = new CArpeggiator(&studio.host);
    arp->SetStepsPerBeat(16);
    EveryColumnPlaysTheBase(*arp);
    studio.studio->AddMachine(arp, &studio.testInfo, "Arp", 0, 0);
    auto* probe = studio.Add<engine_test::CControlProbe>("Synth");
    source->EmitInBlock(1, MakeControlEvent(kEventNoteOn, 100, 57, 1.0));
    ASSERT_NE(studio.Connect(source, 0, arp, CArpeggiator::kControlIn), nullptr);
    ASSERT_NE(studio.Connect(arp, CArpeggiator::kControlOut, probe, 0), nullptr);

    studio.RenderQuietly(4);
    std::vector<long long> ons;
    for (const auto& seen : probe->seen) {
        if (seen.type == kEventNoteOn) {
            EXPECT_EQ(seen.index, 57);
            ons.push_back(static_cast<long long>(seen.block - 1) * kBlock + seen.time);
        }
    }
    // From sample 100 of the first block on, one note every 172 samples.
    const std::vector<long long> expected = {100, 272, 444, 616, 788, 960};
    EXPECT_EQ(ons, expected);
}
