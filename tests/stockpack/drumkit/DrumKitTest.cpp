// VUziD8 ("KV VUziD8") as a machine: its descriptor, ports, parameters and
// trigger names, which sound a note or trigger plays, the level and
// balance law, and which parameter changes reach the sounds' queues.

#include <gtest/gtest.h>

#include <cmath>

#include "framework/Glide.h"
#include "framework/Port.h"
#include "platform/Random.h"
#include "stockpack/drumkit/DrumKit.h"
#include "stockpack/drumkit/DrumKitInfo.h"
#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/drumkit/DrumKitVoice.h"
#include "tests/stockpack/DrumTestRig.h"

using namespace drumkit;
using namespace stock_test;

namespace {

CDrumRig MakeKitRig()
{
    return CDrumRig([](CHost* host) { return new CDrumKit(host); });
}

const CDrumKit& Kit(CDrumRig& rig)
{
    return static_cast<const CDrumKit&>(rig.Machine());
}

/// The sounds that are not silent.
std::vector<int> Sounding(CDrumRig& rig)
{
    std::vector<int> sounds;
    for (int k = 0; k < kSoundCount; ++k) {
        if (!Kit(rig).Voice(k).IsSilent())
            sounds.push_back(k);
    }
    return sounds;
}

} // namespace

TEST(DrumKit, DescriptorPortsAndTriggerNames)
{
    CStockTestHost host;
    CDrumKitInfo info(&host);
    EXPECT_STREQ(info.name, "KV VUziD8");
    EXPECT_STREQ(info.identifier, "CorvPlug::KV VUziD8");
    std::unique_ptr<CMachine> machine(info.CreateMachine());
    EXPECT_TRUE(HasPorts(*machine, {{0x12, "Control In"}, {0x121, "Line Out"}}));
    EXPECT_EQ(machine->programCount, 0);
    const int triggers = machine->triggerCount;
    EXPECT_EQ(triggers, 11);
    EXPECT_TRUE(machine->IsInstrument());

    const char* names[] = {"Bass Drum", "Snare Drum", "Low Tom", "Mid Tom", "High Tom", "Rim Shot",
                           "Clap", "Closed Hi Hat", "Open Hi Hat", "Crash Cymbal", "Ride Cymbal"};
    char text[64];
    for (int k = 0; k < 11; ++k) {
        machine->GetNoteName(k, text);
        EXPECT_STREQ(text, names[k]);
    }
    for (int k : {-1, 11, 40}) {
        machine->GetNoteName(k, text);
        EXPECT_STREQ(text, "");
    }
}

TEST(DrumKit, ParametersNamesDefaultsAndTexts)
{
    CDrumRig rig = MakeKitRig();
    CMachine& kit = rig.Machine();
    const int count = kit.parameterCount;
    ASSERT_EQ(count, 38);
    struct Expected {
        int index;
        const char* name;
        double value;
    };
    const Expected expected[] = {
        {0, "BD Tune", 1.0},     {3, "BD Attack", 0.5},   {4, "BD Decay", 1.0},   {5, "SD Tune", 0.5},
        {8, "SD Tone", 0.4},     {9, "SD Snappy", 0.8},   {10, "LT Tune", 1.0},   {13, "LT Decay", 0.5},
        {16, "MT Balance", 0.5}, {19, "HT Level", 1.0},   {22, "RS Level", 1.0},  {25, "CP Balance", 0.5},
        {28, "CH Decay", 0.3},   {31, "OH Decay", 0.3},   {34, "CC Decay", 0.5},  {37, "RC Decay", 0.5},
    };
    char text[64];
    for (const Expected& e : expected) {
        kit.GetParameterName(e.index, text);
        EXPECT_STREQ(text, e.name);
        EXPECT_EQ(kit.GetParameter(e.index), e.value) << e.name;
    }
    kit.FormatParameter(28, 0.3, text);
    EXPECT_STREQ(text, "30%");
    kit.FormatCurrentParameter(0, text);
    EXPECT_STREQ(text, "100%");
    EXPECT_EQ(kit.GetParameter(38), 0.0);
    kit.SetParameter(38, 0.7);   // ignored
    EXPECT_EQ(kit.GetParameter(38), 0.0);
}

TEST(DrumKit, NotesPlayTheirSoundModuloElevenAndTriggersByIndex)
{
    struct Case {
        int type, index;
        std::vector<int> sounds;
    };
    const Case cases[] = {
        {kEventNoteOn, 11, {0}}, {kEventNoteOn, 23, {1}}, {kEventNoteOn, 0, {0}},    {kEventNoteOn, 40, {7}},
        {kEventNoteOn, 127, {6}}, {kEventTriggerOn, 3, {3}}, {kEventTriggerOn, 10, {10}},
        {kEventTriggerOn, 11, {}}, {kEventTriggerOn, -1, {}}, {kEventNoteOff, 11, {}}, {kEventTriggerOff, 2, {}},
    };
    for (const Case& c : cases) {
        CDrumRig rig = MakeKitRig();
        rig.Render(1);
        EXPECT_TRUE(Sounding(rig).empty());
        rig.Queue(MakeControlEvent(c.type, 5, c.index, 1.0, 0.0));
        rig.Render(1);
        EXPECT_EQ(Sounding(rig), c.sounds) << c.type << " " << c.index;
    }
}

TEST(DrumKit, LevelAndBalanceSetTheGains)
{
    EXPECT_EQ(CDrumKit::LevelGain(0.0), 0.0);
    EXPECT_EQ(CDrumKit::LevelGain(-0.5), 0.0);
    EXPECT_EQ(CDrumKit::LevelGain(1.0), 1.0);
    EXPECT_NEAR(CDrumKit::LevelGain(0.5), std::pow(10.0, -1.6), 1e-15);

    // The closed hat takes its gains directly. The same noise for every
    // render: the generator restarts from one seed after each build.
    auto renderHat = [](double level, double balance) {
        CDrumRig rig = MakeKitRig();
        rig.Set(26, level);
        rig.Set(27, balance);
        platform::SeedRandom(7);
        rig.TriggerOn(kClosedHiHat);
        rig.Render(8);
        return std::make_pair(rig.left, rig.right);
    };
    const auto [fullLeft, fullRight] = renderHat(1.0, 0.5);
    ASSERT_GT(Peak(fullLeft, 0, fullLeft.size()), 0.05);
    // Balance 0.5: gain G on both channels (2G * 0.5).
    const double g = CDrumKit::LevelGain(0.7);
    const auto [left, right] = renderHat(0.7, 0.5);
    const auto [hardLeft, silentRight] = renderHat(0.7, 0.0);
    for (std::size_t i = 0; i < fullLeft.size(); ++i) {
        ASSERT_EQ(fullLeft[i], fullRight[i]);
        ASSERT_NEAR(left[i], g * fullLeft[i], 1e-12);
        ASSERT_EQ(left[i], right[i]);
        ASSERT_NEAR(hardLeft[i], 2.0 * g * fullLeft[i], 1e-12);
        ASSERT_EQ(silentRight[i], 0.0);
    }
    // A level of 0 is exact silence, on every sound.
    CDrumRig quiet = MakeKitRig();
    for (int k = 0; k < kSoundCount; ++k)
        quiet.Set(LevelParameter(k), 0.0);
    for (int k = 0; k < kSoundCount; ++k)
        quiet.TriggerOn(k);
    quiet.Render(40);
    for (std::size_t i = 0; i < quiet.left.size(); ++i) {
        ASSERT_EQ(quiet.left[i], 0.0);
        ASSERT_EQ(quiet.right[i], 0.0);
    }
}

TEST(DrumKit, OnlyOwnedParametersReachTheSoundsQueues)
{
    CDrumRig rig = MakeKitRig();
    rig.Render(1);   // the defaults posted at creation are applied
    for (int k = 0; k < kSoundCount; ++k)
        ASSERT_EQ(Kit(rig).Voice(k).PendingEvents(), 0);
    for (int k = 0; k < kSoundCount; ++k) {
        rig.Set(LevelParameter(k), 0.3);
        rig.Set(LevelParameter(k) + 1, 0.9);
    }
    for (int k = 0; k < kSoundCount; ++k)
        EXPECT_EQ(Kit(rig).Voice(k).PendingEvents(), 0) << k;
    EXPECT_EQ(rig.Machine().GetParameter(LevelParameter(4)), 0.3);

    for (int i = 0; i < kParameterCount; ++i) {
        const int owner = GetParameterInfo(i)->owner;
        if (owner == kNoOwner)
            continue;
        const int before = Kit(rig).Voice(owner).PendingEvents();
        rig.Set(i, 0.25);
        EXPECT_EQ(Kit(rig).Voice(owner).PendingEvents(), before + 1) << i;
    }
    rig.Render(1);
    for (int k = 0; k < kSoundCount; ++k)
        EXPECT_EQ(Kit(rig).Voice(k).PendingEvents(), 0);

    // Edits while no audio runs stay bounded.
    int owned = 0;
    while (GetParameterInfo(owned)->owner == kNoOwner)
        ++owned;
    const int owner = GetParameterInfo(owned)->owner;
    for (int i = 0; i < 1000; ++i)
        rig.Set(owned, (i % 10) / 10.0);
    EXPECT_LE(Kit(rig).Voice(owner).PendingEvents(), CDrumKitVoice::kMaxPendingEvents + 1);
}

TEST(DrumKit, BassAndSnareGainsGlideTheOthersJump)
{
    CDrumRig rig = MakeKitRig();
    rig.TriggerOn(kBassDrum);
    rig.TriggerOn(kSnareDrum);
    rig.TriggerOn(kLowTom);
    rig.Render(1);
    // Taken directly on the first rendered block.
    for (int k : {0, 1, 2}) {
        EXPECT_EQ(Kit(rig).Voice(k).LeftGain(), 1.0);
        EXPECT_EQ(Kit(rig).Voice(k).RightGain(), 1.0);
    }
    rig.Set(1, 0.5);
    rig.Set(6, 0.5);
    rig.Set(11, 0.5);
    rig.Render(1);
    const double g = CDrumKit::LevelGain(0.5);
    EXPECT_EQ(Kit(rig).Voice(2).LeftGain(), g);
    for (int k : {0, 1}) {
        // 256 steps of at most (distance + 0.1) * 0.0004: under a tenth of
        // the way down, and not a step further than the law allows.
        const double gain = Kit(rig).Voice(k).LeftGain();
        double expected = 1.0;
        for (int i = 0; i < 256; ++i)
            expected = GlideToward(expected, g);
        EXPECT_NEAR(gain, expected, 1e-12);
        EXPECT_GT(gain, 0.85);
    }
    // The glide lands exactly, without creeping.
    double x = 1.0;
    int steps = 0;
    while (x != g && steps < 100000) {
        x = GlideToward(x, g);
        ++steps;
    }
    EXPECT_EQ(x, g);
    EXPECT_LT(steps, 20000);
    EXPECT_EQ(GlideToward(0.2, 0.2), 0.2);
    EXPECT_EQ(GlideToward(0.0, 1e-6), 1e-6);   // never past the target
}

TEST(DrumKit, OpenHatRingsOnWhenTheClosedOneIsPlayed)
{
    // Closed hat at level 0, so the output is the open hat alone, with and
    // without a closed hit in the middle of it.
    auto render = [](bool closedHit) {
        CDrumRig rig = MakeKitRig();
        rig.Set(26, 0.0);
        platform::SeedRandom(3);
        rig.TriggerOn(kOpenHiHat);
        rig.Render(4);
        if (closedHit)
            rig.TriggerOn(kClosedHiHat, 17);
        rig.Render(20);
        return rig.left;
    };
    const auto alone = render(false);
    const auto withClosed = render(true);
    ASSERT_EQ(alone.size(), withClosed.size());
    for (std::size_t i = 0; i < alone.size(); ++i)
        ASSERT_EQ(alone[i], withClosed[i]) << i;
    EXPECT_GT(Rms(withClosed, 4 * 256, 4096), 0.01);
}

TEST(DrumKit, ParameterEventsOnControlInAreReported)
{
    CDrumRig rig = MakeKitRig();
    rig.Queue(MakeControlEvent(kEventParameter, 0, 31, 0.9));
    rig.Queue(MakeControlEvent(kEventParameter, 0, 29, 0.4));
    rig.Render(1);
    EXPECT_EQ(rig.Machine().GetParameter(31), 0.9);
    EXPECT_EQ(rig.Machine().GetParameter(29), 0.4);
    EXPECT_EQ(rig.host.parameterReports, 2);
}
