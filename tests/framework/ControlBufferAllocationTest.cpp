// The event traffic of the audio path must not allocate once a buffer has
// held its largest number of events. The shared allocation counter replaces
// global operator new and delete to count every allocation the process
// makes while a test has counting switched on, which is why this is an
// executable of its own.

#include <gtest/gtest.h>

#include "framework/ControlBuffer.h"
#include "tests/support/AllocationCounter.h"

namespace {

using allocation_counting::allocations;
using allocation_counting::counting;

constexpr int kBlockLength = 256;
constexpr int kNotesPerBlock = 40;

/// Counts the allocations made while it is alive.
class AllocationCount {
public:
    AllocationCount()
    {
        allocations.store(0);
        counting.store(true);
    }
    ~AllocationCount() { counting.store(false); }
    long Stop()
    {
        counting.store(false);
        return allocations.load();
    }
};

/// One block of what pattern playback and the engine do to a control port:
/// notes now, note-offs up to three blocks ahead in the deferred queue, the
/// due events moved into the port, the port copied to a second consumer,
/// then both drained.
void RunBlock(CControlBuffer& deferred, CControlBuffer& port, CControlBuffer& copy, long& popped)
{
    for (int i = 0; i < kNotesPerBlock; ++i) {
        const ControlEvent on = MakeControlEvent(kEventNoteOn, (i * 37) % kBlockLength, i % 128, 0.8, 440.0);
        port.Insert(&on);
        const ControlEvent off = MakeControlEvent(kEventNoteOff, (i * 53) % (3 * kBlockLength), i % 128, 0.0);
        deferred.Insert(&off);
    }
    deferred.TransferDue(&port, kBlockLength);
    port.CopyInto(&copy);
    ControlEvent event;
    while (port.Pop(&event))
        ++popped;
    copy.Clear();
}

TEST(ControlBufferAllocation, SteadyBlockTrafficAllocatesNothing)
{
    CControlBuffer deferred;
    CControlBuffer port;
    CControlBuffer copy;
    long popped = 0;
    // The deferred queue reaches its largest size after three blocks.
    for (int block = 0; block < 8; ++block)
        RunBlock(deferred, port, copy, popped);

    long poppedBefore = popped;
    AllocationCount count;
    for (int block = 0; block < 2000; ++block)
        RunBlock(deferred, port, copy, popped);
    const long made = count.Stop();

    EXPECT_EQ(made, 0);
    // Every note-on and every note-off of the counted blocks went through
    // the port: nothing was dropped to save an allocation.
    EXPECT_EQ(popped - poppedBefore, 2000L * kNotesPerBlock * 2);
}

TEST(ControlBufferAllocation, ReserveMakesALargerBurstAllocationFree)
{
    constexpr int kBurst = CControlBuffer::kInitialNodes * 10;
    auto burst = [](CControlBuffer& buffer) {
        for (int i = 0; i < kBurst; ++i) {
            const ControlEvent event = MakeControlEvent(kEventParameter, i % 97, i, 0.25);
            buffer.Insert(&event);
        }
        ControlEvent event;
        int popped = 0;
        while (buffer.Pop(&event))
            ++popped;
        return popped;
    };

    // Without reserving, the burst has to grow the buffer: the count sees it.
    CControlBuffer unreserved;
    AllocationCount growing;
    EXPECT_EQ(burst(unreserved), kBurst);
    EXPECT_GT(growing.Stop(), 0);

    CControlBuffer reserved;
    reserved.Reserve(kBurst);
    AllocationCount count;
    const int popped = burst(reserved);
    EXPECT_EQ(count.Stop(), 0);
    EXPECT_EQ(popped, kBurst);
}

} // namespace
