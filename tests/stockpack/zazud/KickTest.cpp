// Zazud ("KV Zazud") measured: its parameters and texts, where a hit
// starts, the pitch sweep from the note down towards 13.75 Hz, retriggers
// without a click, and note-offs that change nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "stockpack/zazud/Kick.h"
#include "stockpack/zazud/KickInfo.h"
#include "tests/stockpack/DrumTestRig.h"

using namespace stock_test;
using namespace zazud;

namespace {

constexpr int kRate = 44100;

CDrumRig MakeKickRig()
{
    return CDrumRig([](CHost* host) { return new CKick(host); });
}

/// Pitch envelope straight over 0.5 s, amplitude near full level for most
/// of a second (its slow-then-fast curve), filter wide open: the sweep alone.
void SweepPatch(CDrumRig& rig)
{
    rig.Set(kVcoAttack, 0.0);
    rig.Set(kVcoDecay, 0.5);
    rig.Set(kVcoCurve, 0.5);
    rig.Set(kAmpAttack, 0.0);
    rig.Set(kAmpDecay, 1.0);
    rig.Set(kAmpCurve, 1.0);
    rig.Set(kVcfCutoff, 1.0);
}

} // namespace

TEST(Kick, DescriptorPortsParametersAndTexts)
{
    CStockTestHost host;
    CKickInfo info(&host);
    EXPECT_STREQ(info.name, "KV Zazud");
    EXPECT_STREQ(info.identifier, "CorvPlug::KV Zazud");
    std::unique_ptr<CMachine> machine(info.CreateMachine());
    EXPECT_TRUE(HasPorts(*machine, {{0x12, "Control In"}, {0x21, "Line Out"}}));
    EXPECT_EQ(machine->programCount, 0);
    EXPECT_EQ(machine->triggerCount, 0);
    EXPECT_TRUE(machine->IsInstrument());
    const int count = machine->parameterCount;
    EXPECT_EQ(count, 7);

    const char* names[] = {"VCO Attack", "VCO Decay", "VCO Curve", "Amp Attack", "Amp Decay", "Amp Curve", "VCF Cutoff"};
    const double defaults[] = {0.02, 0.5, 0.28, 0.05, 0.5, 1.0, 0.37};
    char text[64];
    for (int i = 0; i < 7; ++i) {
        machine->GetParameterName(i, text);
        EXPECT_STREQ(text, names[i]);
        EXPECT_EQ(machine->GetParameter(i), defaults[i]);
    }
    machine->FormatParameter(6, 0.37, text);
    EXPECT_STREQ(text, "37%");
    machine->GetParameterName(7, text);
    EXPECT_STREQ(text, "");
    machine->FormatParameter(7, 0.5, text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(machine->GetParameter(7), 0.0);
    machine->SetParameter(7, 0.9);   // ignored
    machine->SetParameter(-1, 0.9);
    EXPECT_EQ(machine->GetParameter(7), 0.0);
}

TEST(Kick, SilentUntilTheNoteThenStartsOnItsSample)
{
    CDrumRig rig = MakeKickRig();
    rig.Render(4);
    EXPECT_EQ(Peak(rig.left, 0, rig.left.size()), 0.0);
    rig.ClearCapture();
    rig.NoteOn(36, 100);
    rig.Render(40);
    // The sine starts at phase 0: the first sample of the hit is 0, the
    // next ones are not.
    EXPECT_EQ(Peak(rig.left, 0, 100), 0.0);
    const long onset = FirstAbove(rig.left, 1e-9);
    EXPECT_GE(onset, 100);
    EXPECT_LE(onset, 103);
    EXPECT_GT(Peak(rig.left, 100, 4000), 0.1);
}

TEST(Kick, PitchFallsLinearlyInOctavesFromTheNoteTowards13_75Hz)
{
    CDrumRig rig = MakeKickRig();
    SweepPatch(rig);
    rig.NoteOn(57);   // 220 Hz: 4 octaves above 13.75 Hz
    rig.RenderSamples(kRate);
    // Over 0.5 s the pitch falls 4 octaves at a constant rate, an octave
    // every 0.125 s. A window of four periods round t gives the mean
    // frequency across it, within 1.5 % of the frequency at t at this rate.
    for (double t : {0.0625, 0.1875, 0.3125}) {
        const double expected = 13.75 * std::exp2(4.0 * (1.0 - t / 0.5));
        const auto window = static_cast<std::size_t>(4.0 / expected * kRate);
        const auto start = static_cast<std::size_t>(t * kRate) - window / 2;
        EXPECT_NEAR(ZeroCrossingHz(rig.left, kRate, start, window), expected, expected * 0.03) << t;
    }
    // After the sweep the pitch rests at 13.75 Hz (envelope 0).
    const double low = ZeroCrossingHz(rig.left, kRate, static_cast<std::size_t>(0.5 * kRate), kRate * 3 / 10);
    EXPECT_NEAR(low, 13.75, 13.75 * 0.03);
}

TEST(Kick, DefaultSoundIsALowThumpThatEnds)
{
    CDrumRig rig = MakeKickRig();
    rig.NoteOn(36);
    rig.RenderSamples(kRate);   // attack 0.01 s + decay 0.5 s
    const double centroid = SpectralCentroidHz(rig.left, kRate, 0, 8192);
    EXPECT_LT(centroid, 200.0);
    EXPECT_EQ(Peak(rig.left, static_cast<std::size_t>(0.52 * kRate), kRate / 4), 0.0);
    CKick& kick = static_cast<CKick&>(rig.Machine());
    EXPECT_TRUE(kick.Engine().AmpEnvelope().IsIdle());
}

TEST(Kick, ZeroTimesCompleteInOneSample)
{
    CDrumRig rig = MakeKickRig();
    CKick& kick = static_cast<CKick&>(rig.Machine());
    rig.Set(kAmpAttack, 0.0);
    rig.Set(kAmpDecay, 0.0);
    rig.Set(kVcoAttack, 0.0);
    rig.Set(kVcoDecay, 0.0);
    rig.NoteOn(36, 254);   // the last two samples of the block
    rig.Render(1);
    EXPECT_TRUE(kick.Engine().AmpEnvelope().IsIdle());
    EXPECT_TRUE(kick.Engine().PitchEnvelope().IsIdle());
    rig.NoteOn(36, 255);   // one sample: still in its decay
    rig.Render(1);
    EXPECT_EQ(kick.Engine().AmpEnvelope().CurrentStage(), ZazudEnvelope::Stage::Decay);
    rig.Render(1);
    EXPECT_TRUE(kick.Engine().AmpEnvelope().IsIdle());
}

TEST(Kick, RetriggerContinuesWithoutAClick)
{
    CDrumRig rig = MakeKickRig();
    rig.Set(kAmpCurve, 0.5);   // straight decay over 0.5 s
    rig.Set(kVcoDecay, 1.0);
    rig.NoteOn(45);
    rig.Render(40);            // about 0.23 s: mid decay
    const std::size_t at = rig.left.size();
    rig.NoteOn(45);
    rig.Render(4);
    // The level just before and just after the retrigger: the attack climbs
    // back from where the decay was, so the sound never drops away.
    const double before = Peak(rig.left, at - 300, 300);
    const double after = Peak(rig.left, at, 300);
    ASSERT_GT(before, 0.05);
    EXPECT_GT(after, 0.8 * before);
    // No click: the step across the retrigger is no larger than the
    // waveform's own steps just before it (a restart from silence, or a
    // jump to full level, would be).
    double largestStep = 0.0;
    for (std::size_t i = at - 300; i < at - 1; ++i)
        largestStep = std::max(largestStep, std::fabs(rig.left[i + 1] - rig.left[i]));
    EXPECT_LE(std::fabs(rig.left[at] - rig.left[at - 1]), 1.5 * largestStep);
    // The attack and the pitch climb back over 0.01 s, so the first
    // samples after it move little more than those before.
    for (std::size_t i = at; i < at + 10; ++i)
        EXPECT_LE(std::fabs(rig.left[i + 1] - rig.left[i]), 1.5 * largestStep) << i - at;
}

TEST(Kick, NoteOffChangesNothing)
{
    CDrumRig plain = MakeKickRig();
    CDrumRig released = MakeKickRig();
    for (CDrumRig* rig : {&plain, &released})
        rig->NoteOn(40, 10);
    released.NoteOff(40, 50);
    plain.Render(10);
    released.Render(10);
    released.NoteOff(40, 0);
    released.Queue(MakeControlEvent(kEventTriggerOff, 3, 0, 0.0));
    plain.Render(20);
    released.Render(20);
    ASSERT_EQ(plain.left.size(), released.left.size());
    for (std::size_t i = 0; i < plain.left.size(); ++i)
        ASSERT_EQ(plain.left[i], released.left[i]) << i;
}

TEST(Kick, ParameterEventsOnControlInAreReportedAndApplied)
{
    CDrumRig rig = MakeKickRig();
    rig.Queue(MakeControlEvent(kEventParameter, 0, kVcfCutoff, 0.8));
    rig.Render(1);
    EXPECT_EQ(rig.Machine().GetParameter(kVcfCutoff), 0.8);
    EXPECT_EQ(rig.host.parameterReports, 1);
}
