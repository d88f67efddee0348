// The drum machines' Work allocates nothing: the global allocation
// functions are replaced here, and every operator new made while VUziD8
// plays all eleven sounds with parameter events, and while Zazud plays
// hits, is counted.

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "stockpack/drumkit/DrumKit.h"
#include "stockpack/zazud/Kick.h"
#include "tests/stockpack/StockTestSupport.h"

using allocation_counting::allocations;
using allocation_counting::counting;

using namespace stock_test;

namespace {

/// Queues the events on "Control In" (which may grow its storage), then
/// counts what blocks of Work allocate.
long AllocationsOfWork(CMachine& machine, const std::vector<ControlEvent>& events, int blocks)
{
    CPort** ports = machine.ports;
    for (const ControlEvent& event : events)
        ports[0]->control->Insert(&event);
    allocations = 0;
    counting = true;
    for (int b = 0; b < blocks; ++b)
        machine.Work();
    counting = false;
    return allocations.load();
}

} // namespace

TEST(DrumsAllocation, WorkAllocatesNothingWithEverySoundRinging)
{
    CStockTestHost host;
    CDrumKit kit(&host);
    kit.Work();   // the defaults posted at creation
    std::vector<ControlEvent> events;
    for (int k = 0; k < 11; ++k) {
        events.push_back(MakeControlEvent(kEventTriggerOn, 7 * k, k, 1.0));
        events.push_back(MakeControlEvent(kEventNoteOn, 100 + k, 11 + k, 1.0, 100.0));
    }
    for (int i = 0; i < 38; ++i)
        events.push_back(MakeControlEvent(kEventParameter, 3 * i, i, 0.6));
    EXPECT_EQ(AllocationsOfWork(kit, events, 40), 0);
    // Edits from the user-interface thread between blocks, then more hits.
    for (int i = 0; i < 38; ++i)
        kit.SetParameter(i, 0.4);
    EXPECT_EQ(AllocationsOfWork(kit, events, 20), 0);
}

TEST(DrumsAllocation, ZazudWorkAllocatesNothing)
{
    CStockTestHost host;
    CKick kick(&host);
    std::vector<ControlEvent> events;
    for (int i = 0; i < 7; ++i)
        events.push_back(MakeControlEvent(kEventParameter, 10 * i, i, 0.3));
    events.push_back(MakeControlEvent(kEventNoteOn, 5, 36, 1.0, 65.4));
    events.push_back(MakeControlEvent(kEventNoteOff, 90, 36, 0.0));
    events.push_back(MakeControlEvent(kEventNoteOn, 200, 40, 1.0, 82.4));
    EXPECT_EQ(AllocationsOfWork(kick, events, 40), 0);
    for (int i = 0; i < 7; ++i)
        kick.SetParameter(i, 0.5);
    EXPECT_EQ(AllocationsOfWork(kick, events, 20), 0);
}
