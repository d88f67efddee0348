// RazuZuri's Work allocates nothing: the global allocation functions are
// replaced here, and every operator new made while the machine renders notes,
// parameter events and every feature at once is counted.

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "stockpack/razuzuri/RazuZuri.h"
#include "tests/stockpack/StockTestSupport.h"

using allocation_counting::allocations;
using allocation_counting::counting;

using namespace razuzuri;
using namespace stock_test;

TEST(RazuZuriAllocation, WorkAllocatesNothingWithEveryFeatureSounding)
{
    CSynthRig rig(true);
    // Everything on: sync, noise, ring, formant, saturation, all LFOs on
    // several destinations, portamento, filter modulation.
    const int settings[][2] = {{kSync, 100},        {kNoise, 50},        {kRingMod, 50},
                               {kFormantMix, 50},   {kSaturation, 30},   {kOverdrive, 20},
                               {kPortamento, 30},   {kGlide, 30},        {kVco1EnvMod, 10},
                               {kFilterRouting, 50}, {kVco1Shape, 90},   {kAmpAttackCurve, 80},
                               {kLfo1Rate + 3, 75}, {kLfo1Rate + 5, 35}, {kLfo1Rate + 7, 95},
                               {kLfo1Rate + 10, 15}, {kLfo1Rate + 12, 55}, {kLfo1Rate + 2, 30},
                               {kLfo1Rate + 19, 90}, {kLfo1Rate + 21, 25}};
    for (const auto& setting : settings)
        rig.Set(setting[0], setting[1] / 100.0);
    rig.Render(2);   // the queued changes applied once

    for (int round = 0; round < 3; ++round) {
        // Events queued outside the count, as the engine queues them.
        for (int n = 0; n < 20; ++n)
            rig.NoteOn(40 + n + round, n * 11);
        rig.Queue(MakeControlEvent(kEventParameter, 30, kFormantVowel, round / 3.0));
        rig.Queue(MakeControlEvent(kEventParameter, 60, kVco2Shape, 0.1 + round * 0.3));
        rig.NoteOff(45 + round, 200);
        allocations = 0;
        counting = true;
        for (int b = 0; b < 40; ++b) {
            rig.Synth().Work();
            rig.Synth().SetParameter(kVcf1Cutoff, 0.2 + 0.01 * b);   // an editor's knob between blocks
        }
        counting = false;
        EXPECT_EQ(allocations.load(), 0) << round;
    }
}
