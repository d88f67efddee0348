// RazuZuri as a machine: its ports, event dispatch and voice allocation,
// parameter changes through the voices' queues, and input it must survive.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "stockpack/razuzuri/RazuZuri.h"
#include "stockpack/razuzuri/RazuZuriInfo.h"
#include "stockpack/razuzuri/RazuZuriVoice.h"
#include "tests/stockpack/StockTestSupport.h"

using namespace razuzuri;
using namespace stock_test;

namespace {

/// Filters wide open, no filter envelope, an instant attack to full level:
/// what leaves the machine is the oscillator mix.
void OpenPatch(CSynthRig& rig)
{
    for (int f : {kVcf1Mode, kVcf2Mode}) {
        rig.Set(f + 1, 1.0);   // cutoff: limited to a quarter of the rate
        rig.Set(f + 2, 0.0);   // resonance
        rig.Set(f + 4, 0.0);   // env mod
    }
    rig.Set(kAmpAttack, 0.0);
    rig.Set(kAmpSustain, 1.0);
    rig.Set(kAmpRelease, 0.0);
    rig.Set(kOscBalance, 0.0);
}

bool AllZero(const std::vector<double>& x, std::size_t start, std::size_t length)
{
    for (std::size_t i = start; i < start + length; ++i) {
        if (x[i] != 0.0)
            return false;
    }
    return true;
}

} // namespace

TEST(RazuZuri, PortsAndTypeFacts)
{
    for (bool polyphonic : {false, true}) {
        CSynthRig rig(polyphonic);
        CRazuZuri& synth = rig.Synth();
        ASSERT_EQ(synth.portCount, 2);
        EXPECT_STREQ(synth.ports[0]->name, "Control In");
        EXPECT_EQ(synth.ports[0]->flags, 0x12);
        // Packed fields: compare copies, not references to them.
        const CControlBuffer* control = synth.ports[0]->control;
        const CAudioBuffer* audio = synth.ports[1]->audio;
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(synth.ports[1]->name, "Line Out");
        EXPECT_EQ(synth.ports[1]->flags, 0x121);
        ASSERT_NE(audio, nullptr);
        EXPECT_TRUE(audio->stereo);
        EXPECT_EQ(audio->length, 256);
        EXPECT_TRUE(synth.IsInstrument());
        EXPECT_EQ(synth.programCount, 0);
        EXPECT_EQ(synth.triggerCount, 0);
        EXPECT_EQ(synth.VoiceCount(), polyphonic ? 16 : 1);
        EXPECT_EQ(synth.NextVoice(), 0);
        for (int v = 0; v < synth.VoiceCount(); ++v)
            EXPECT_EQ(synth.Voice(v).note, -1);
    }
}

TEST(RazuZuri, EachDescriptorLooksUpItsPicturesOnce)
{
    CStockTestHost host;
    CRazuZuriInfo mono(&host);
    CRazuZuriPolyphonicInfo poly(&host);
    EXPECT_STREQ(mono.name, "KV RazuZuri");
    EXPECT_STREQ(mono.identifier, "CorvPlug::KV RazuZuri");
    EXPECT_STREQ(poly.name, "KV RazuZuri (Polyphonic)");
    EXPECT_STREQ(poly.identifier, "CorvPlug::KV RazuZuri (Polyphonic)");
    EXPECT_FALSE(mono.ImagesLoaded());

    std::unique_ptr<CMachine> first(mono.CreateMachine());
    std::unique_ptr<CMachine> second(mono.CreateMachine());
    std::unique_ptr<CMachine> third(poly.CreateMachine());
    EXPECT_TRUE(mono.ImagesLoaded());
    EXPECT_EQ(mono.ImageLoadCount(), 1);
    EXPECT_EQ(poly.ImageLoadCount(), 1);
    auto& a = static_cast<CRazuZuri&>(*first);
    auto& b = static_cast<CRazuZuri&>(*second);
    auto& c = static_cast<CRazuZuri&>(*third);
    EXPECT_EQ(a.Images(), b.Images());   // shared by the type
    EXPECT_NE(a.Images(), c.Images());   // each type its own copy
    EXPECT_FALSE(a.IsPolyphonic());
    EXPECT_TRUE(c.IsPolyphonic());
    EXPECT_EQ(a.VoiceCount(), 1);
    EXPECT_EQ(c.VoiceCount(), 16);
}

TEST(RazuZuri, MonoRetriggersAndDropsTheOlderNoteOff)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.Set(kAmpRelease, 0.25);   // 0.125 s
    rig.NoteOn(60);
    rig.Render(20);
    ASSERT_TRUE(rig.Synth().Voice(0).IsSounding());
    const double playing = Rms(rig.left, 2560, 2560);
    ASSERT_GT(playing, 0.1);

    rig.NoteOn(64);
    rig.Render(1);
    EXPECT_EQ(rig.Synth().Voice(0).note, 64);
    EXPECT_NEAR(rig.Synth().Voice(0).NoteFrequencyHz(), CStockTestHost::NoteHz(64), 1e-9);
    EXPECT_EQ(rig.Synth().NextVoice(), 0);

    // The older note's release finds no voice: the new note sounds on.
    rig.NoteOff(60);
    rig.ClearCapture();
    rig.Render(20);
    EXPECT_TRUE(rig.Synth().Voice(0).IsSounding());
    EXPECT_EQ(rig.Synth().Voice(0).note, 64);
    EXPECT_NEAR(Rms(rig.left, 0, 5120) / playing, 1.0, 0.02);
    EXPECT_NEAR(ZeroCrossingHz(rig.left, 44100, 0, 5120), CStockTestHost::NoteHz(64), 1.0);

    // Its own note-off releases it, to exact silence after the release.
    rig.NoteOff(64);
    rig.ClearCapture();
    rig.Render(30);   // 7680 samples > 0.125 s
    EXPECT_EQ(rig.Synth().Voice(0).note, -1);
    EXPECT_FALSE(rig.Synth().Voice(0).IsSounding());
    EXPECT_TRUE(AllZero(rig.left, 5600, 7680 - 5600));
    EXPECT_TRUE(AllZero(rig.right, 5600, 7680 - 5600));
}

TEST(RazuZuri, SeventeenthNoteReusesTheFirstVoiceAndHeldNotesKeepTheirs)
{
    CSynthRig rig(true);
    for (int n = 0; n < 17; ++n)
        rig.NoteOn(40 + n, n);
    rig.Render(1);
    CRazuZuri& synth = rig.Synth();
    EXPECT_EQ(synth.Voice(0).note, 56);
    for (int v = 1; v < 16; ++v)
        EXPECT_EQ(synth.Voice(v).note, 40 + v) << v;
    EXPECT_EQ(synth.NextVoice(), 1);

    // Repeating a held note goes to its own voice and leaves the turn alone.
    rig.NoteOn(45);
    rig.Render(1);
    EXPECT_EQ(synth.Voice(5).note, 45);
    EXPECT_EQ(synth.NextVoice(), 1);

    // The first note lost its voice, so its note-off is dropped; the
    // seventeenth's reaches voice 0.
    rig.NoteOff(40);
    rig.Render(1);
    EXPECT_EQ(synth.Voice(0).note, 56);
    rig.NoteOff(56);
    rig.Render(1);
    EXPECT_EQ(synth.Voice(0).note, -1);

    // A new note takes the next voice in turn even though voice 0 is free:
    // there is no search for a silent voice.
    rig.NoteOn(90);
    rig.Render(1);
    EXPECT_EQ(synth.Voice(1).note, 90);
    EXPECT_EQ(synth.NextVoice(), 2);
}

TEST(RazuZuri, NoteStartsOnItsSample)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.NoteOn(69, 100);
    rig.Render(2);
    // The attack's first value is 0, so sample 100 is silent too; the note
    // is heard from the next sample.
    EXPECT_TRUE(AllZero(rig.left, 0, 101));
    const long onset = FirstAbove(rig.left, 0.0);
    EXPECT_GE(onset, 101);
    EXPECT_LE(onset, 104);
}

TEST(RazuZuri, ParameterChangesReachEveryVoiceThroughItsQueue)
{
    CSynthRig rig(true);
    CRazuZuri& synth = rig.Synth();
    rig.Set(49, 0.35);   // LFO1 Send 1 -> VCO1 Pitch
    for (int v = 0; v < 16; ++v)
        EXPECT_EQ(synth.Voice(v).PendingEvents(), 1) << v;
    EXPECT_EQ(synth.GetParameter(49), 0.35);
    // Not applied until the voices render.
    EXPECT_EQ(synth.Voice(3).ModulationDepth(0, LfoDestination::Vco1Pitch), 0.0);
    rig.Render(1);
    for (int v = 0; v < 16; ++v) {
        EXPECT_EQ(synth.Voice(v).PendingEvents(), 0);
        EXPECT_EQ(synth.Voice(v).ModulationDepth(0, LfoDestination::Vco1Pitch), 1.0);
    }

    // "LFO1 Amp 1" sets the first send's depth only; the second send joins
    // the same destination with its own amount.
    rig.Set(50, 0.5);
    rig.Set(51, 0.35);
    rig.Set(52, 0.25);
    rig.Render(1);
    EXPECT_EQ(synth.Voice(0).ModulationDepth(0, LfoDestination::Vco1Pitch), 0.75);
    rig.Set(50, 0.125);
    rig.Render(1);
    EXPECT_EQ(synth.Voice(0).ModulationDepth(0, LfoDestination::Vco1Pitch), 0.375);
    // Moving send 1 elsewhere moves only its amount; LFO 2 is untouched.
    rig.Set(49, 0.75);   // VCF1 Pitch
    rig.Render(1);
    EXPECT_EQ(synth.Voice(0).ModulationDepth(0, LfoDestination::Vco1Pitch), 0.25);
    EXPECT_EQ(synth.Voice(0).ModulationDepth(0, LfoDestination::Vcf1Pitch), 0.125);
    EXPECT_EQ(synth.Voice(0).ModulationDepth(1, LfoDestination::Vco1Pitch), 0.0);
    EXPECT_EQ(synth.Voice(0).ModulationDepth(1, LfoDestination::Vcf1Pitch), 0.0);
}

TEST(RazuZuri, ParameterEventsOnControlInAreReportedToTheHost)
{
    CSynthRig rig(false);
    rig.Queue(MakeControlEvent(kEventParameter, 17, kOscBalance, 0.25));
    rig.Queue(MakeControlEvent(kEventParameter, 3, 500, 0.25));   // no such parameter
    rig.Render(1);
    EXPECT_EQ(rig.Synth().GetParameter(kOscBalance), 0.25);
    EXPECT_EQ(rig.host.parameterReports, 2);
    EXPECT_EQ(rig.Synth().GetParameter(500), 0.0);
}

TEST(RazuZuri, EditsWhileNoAudioRunsStayBounded)
{
    CSynthRig rig(true);
    OpenPatch(rig);
    rig.Render(1);
    for (int i = 0; i < 2000; ++i)
        rig.Set(kOscVolume, (i % 100) / 100.0);
    rig.Set(kOscVolume, 0.0);
    for (int v = 0; v < 16; ++v)
        EXPECT_LE(rig.Synth().Voice(v).PendingEvents(),
                  CRazuZuriVoice::kMaxPendingEvents + 1);
    // The last value is the one in force.
    rig.NoteOn(60);
    rig.ClearCapture();
    rig.Render(4);
    EXPECT_TRUE(AllZero(rig.left, 0, rig.left.size()));
}

TEST(RazuZuri, StrayEventsAreHandledSafely)
{
    CSynthRig rig(true);
    OpenPatch(rig);
    // Note numbers without a pitch are ignored.
    rig.Queue(MakeControlEvent(kEventNoteOn, 0, 200, 1.0, 1000.0));
    rig.Queue(MakeControlEvent(kEventNoteOn, 0, -1, 1.0, 1000.0));
    rig.Queue(MakeControlEvent(kEventNoteOff, 0, 999, 0.0));
    rig.Queue(MakeControlEvent(kEventTriggerOn, 0, 3, 1.0));
    rig.Render(2);
    EXPECT_TRUE(AllZero(rig.left, 0, rig.left.size()));
    EXPECT_EQ(rig.Synth().NextVoice(), 0);

    // Times before the block start at its first sample; times past its end
    // wait for its end, and are not lost.
    rig.ClearCapture();
    rig.Queue(MakeControlEvent(kEventNoteOn, -50, 60, 1.0, CStockTestHost::NoteHz(60)));
    rig.Queue(MakeControlEvent(kEventNoteOn, 100000, 72, 1.0, CStockTestHost::NoteHz(72)));
    rig.Render(1);
    EXPECT_LE(FirstAbove(rig.left, 0.0), 4);
    EXPECT_TRUE(rig.Synth().Voice(0).IsSounding());
    EXPECT_TRUE(rig.Synth().Voice(1).IsSounding());
    EXPECT_EQ(rig.Synth().Voice(1).note, 72);

    // A note-on without a frequency takes the host's table.
    rig.Queue(MakeControlEvent(kEventNoteOn, 0, 81, 1.0, 0.0));
    rig.Render(1);
    EXPECT_NEAR(rig.Synth().Voice(2).NoteFrequencyHz(), 880.0, 1e-9);
}

TEST(RazuZuri, StateBlockRoundTripsEveryParameter)
{
    CSynthRig a(false), b(true);
    for (int i = 0; i < kParameterCount; ++i)
        a.Set(i, (i * 37 % 101) / 100.0);
    void* data = nullptr;
    int length = 0;
    bool hostFormat = false;
    a.Synth().SaveState(&data, &length, &hostFormat);
    ASSERT_EQ(length, 8 + 8 * kParameterCount);
    EXPECT_TRUE(hostFormat);
    EXPECT_EQ(std::memcmp(data, "46HP", 4), 0);
    b.Synth().LoadState(data, length, true);
    std::free(data);
    for (int i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(b.Synth().GetParameter(i), (i * 37 % 101) / 100.0) << i;
    EXPECT_EQ(b.host.parameterReports, kParameterCount);
}

TEST(RazuZuri, FormatChangesKeepPitchAndRenderEveryBlockLength)
{
    CSynthRig rig(false);
    OpenPatch(rig);
    rig.Set(kOscBalance, 0.0);
    rig.Set(kVco1Shape, 0.5);   // Square
    CRazuZuri& synth = rig.Synth();
    synth.SetSampleRate(48000);
    synth.ResizePortBuffers(100);
    synth.SetBlockSize(100);
    rig.NoteOn(69);
    rig.Render(480);
    ASSERT_EQ(rig.left.size(), 48000u);
    EXPECT_NEAR(ZeroCrossingHz(rig.left, 48000, 4800, 40000), 440.0, 0.1);

    // A buffer longer than the voices were told of still renders whole.
    synth.ResizePortBuffers(1000);
    rig.ClearCapture();
    rig.Render(3);
    ASSERT_EQ(rig.left.size(), 3000u);
    EXPECT_NEAR(ZeroCrossingHz(rig.left, 48000, 0, 3000), 440.0, 1.0);
}
