// The effects' Work and WorkReturns allocate nothing: the global allocation
// functions are replaced here, and every operator new made while the mixer,
// the echo and the filter render (with parameter changes between blocks) is
// counted.

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/davarorodir/DavarorOdir.h"
#include "stockpack/dovodorez/Echo.h"
#include "stockpack/mixer/Mixer.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"
#include "tests/stockpack/StockTestSupport.h"

using allocation_counting::allocations;
using allocation_counting::counting;

namespace {

/// Fills every audio input of machine with a tone, so that every path runs.
void FeedInputs(CMachine& machine, int block)
{
    for (int p = 0; p < machine.portCount; ++p) {
        CPort* port = machine.ports[p];
        if (!port->Is(kPortAudio | kPortInput) || port->audio == nullptr)
            continue;
        for (int i = 0; i < port->audio->length; ++i) {
            port->audio->left[i] = std::sin(0.05 * (block * port->audio->length + i) + p);
            port->audio->right[i] = -port->audio->left[i];
        }
    }
}

} // namespace

TEST(EffectsAllocation, WorkAndWorkReturnsAllocateNothing)
{
    stock_test::CStockTestHost host;
    CMixer mixer(&host);
    CEcho echo(&host);
    CRedoRuvizFilter filter(&host, nullptr);
    echo.SetParameter(CEcho::ParameterIndex(2, CEcho::kWetLevel), 1.0);
    echo.SetParameter(CEcho::ParameterIndex(2, CEcho::kLfoAmount), 1.0);
    mixer.SetSolo(3, true);
    mixer.SetSolo(3, false);

    allocations = 0;
    counting = true;
    for (int block = 0; block < 64; ++block) {
        for (CMachine* machine : {static_cast<CMachine*>(&mixer), static_cast<CMachine*>(&echo),
                                  static_cast<CMachine*>(&filter)})
            FeedInputs(*machine, block);
        mixer.Work();
        mixer.WorkReturns();
        echo.Work();
        filter.Work();
        // Parameter changes between blocks are stores too.
        mixer.SetParameter(block % CMixer::kParameterCount, (block % 10) / 10.0);
        echo.SetParameter(block % CEcho::kParameterCount, (block % 7) / 7.0);
        filter.SetParameter(0, (block % 5) / 4.0);
        mixer.SetMute(block % CMixer::kStrips, block % 3 == 0);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}

TEST(EffectsAllocation, ReverbWorkAllocatesNothingWhileItsRoomChanges)
{
    stock_test::CStockTestHost host;
    CDavarorOdir reverb(&host);

    allocations = 0;
    counting = true;
    for (int block = 0; block < 32; ++block) {
        FeedInputs(reverb, block);
        // Every kind of change in turn: room (trees rebuilt), listening
        // points, tail; the smallest and largest rooms among them.
        reverb.SetParameter(block % CDavarorOdir::kParameterCount, (block % 3) / 2.0);
        reverb.Work();
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}
