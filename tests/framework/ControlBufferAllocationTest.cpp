// The event traffic of the audio path must not allocate once a buffer has
// held its largest number of events. Global operator new and delete are
// replaced here to count every allocation the process makes while a test
// has counting switched on, which is why this is an executable of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/ControlBuffer.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* Allocate(std::size_t bytes)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    void* memory = std::malloc(bytes != 0 ? bytes : 1);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void* AllocateAligned(std::size_t bytes, std::align_val_t alignment)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    const auto align = static_cast<std::size_t>(alignment);
    void* memory = std::aligned_alloc(align, (bytes + align - 1) / align * align);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

} // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(bytes);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }
void* operator new(std::size_t bytes, std::align_val_t alignment) { return AllocateAligned(bytes, alignment); }
void* operator new[](std::size_t bytes, std::align_val_t alignment) { return AllocateAligned(bytes, alignment); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }

namespace {

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
