// The real-time path allocates nothing once the first blocks have run: the
// global allocation functions are replaced here so that every operator new,
// malloc, calloc and realloc on any thread (callback, workers) is counted
// while a graph renders.

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "host/PeakMeter.h"
#include "framework/Connection.h"
#include "tests/host/TestMachines.h"

using allocation_counting::allocations;
using allocation_counting::counting;

using namespace engine_test;

namespace {

constexpr int kBlock = 256;

/// Counts allocations made by every thread while it is alive.
class AllocationCount {
public:
    AllocationCount()
    {
        allocations = 0;
        counting = true;
    }
    ~AllocationCount() { counting = false; }
    long Stop()
    {
        counting = false;
        return allocations.load();
    }
};

/// A source that allocates in Work when asked, to show that the count sees
/// the workers. Two of them meet inside Work, so one of the two is surely
/// not on the callback thread.
class CAllocatingSource : public CSource {
public:
    CAllocatingSource(CCorvHost* host, CRendezvous& rendezvous) : CSource(host, false), rendezvous(rendezvous) {}
    std::atomic<bool> allocate{false};

protected:
    void Render() override
    {
        rendezvous.Meet(workCount.load());
        if (allocate) {
            // Direct calls, which the compiler may not elide the way it may
            // a new-expression; the C allocation functions count as well.
            void* memory = ::operator new(64);
            sink = memory;
            ::operator delete(memory);
            void* block = std::malloc(32);
            sink = block;
            block = std::realloc(block, 96);
            sink = block;
            std::free(block);
            void* zeroed = std::calloc(4, 16);
            sink = zeroed;
            std::free(zeroed);
        }
        CSource::Render();
    }
    double Sample(int, int, int) override { return 0.0; }

private:
    CRendezvous& rendezvous;
    std::atomic<void*> sink{nullptr};
};

} // namespace

TEST(EngineAllocation, CountSeesAllocationsOnWorkerThreads)
{
    CEngineStudio engine(kBlock);
    CRendezvous rendezvous(2);
    auto* first = engine.Add<CAllocatingSource>("First", rendezvous);
    auto* second = engine.Add<CAllocatingSource>("Second", rendezvous);
    ASSERT_NE(engine.ConnectToMaster(first, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(second, 0), nullptr);
    engine.RenderQuietly(4);

    first->allocate = true;
    second->allocate = true;
    AllocationCount count;
    engine.RenderQuietly(3);
    const long counted = count.Stop();
    EXPECT_EQ(rendezvous.missed, 0);
    // Four allocations per Work, two sources, three blocks.
    EXPECT_GE(counted, 24);
    EXPECT_NE(first->workThreadId.load(), second->workThreadId.load());
}

TEST(EngineAllocation, SteadyStateBlocksAllocateNothing)
{
    CEngineStudio engine(kBlock);
    CPeakMeter meter;
    engine.studio->SetPeakMeter(&meter);

    // A chain from a stereo source, ending in a mono input.
    auto* sine = engine.Add<CSineSource>("Sine", true, 440.0, 0.5);
    auto* first = engine.Add<CGain>("First", true, true, 0.5);
    auto* second = engine.Add<CGain>("Second", false, false, 2.0);
    ASSERT_NE(engine.Connect(sine, 0, first, 0), nullptr);
    ASSERT_NE(engine.Connect(first, 1, second, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(second, 1), nullptr);
    // A fan-in of several sources to the master, one with a gliding cable.
    CConnection* gliding = nullptr;
    for (int i = 0; i < 6; ++i) {
        auto* source = engine.Add<CConstantSource>("Fan", i % 2 == 0, 0.05 * i, -0.05 * i);
        CConnection* cable = engine.ConnectToMaster(source, 0, 0, 0.5);
        ASSERT_NE(cable, nullptr);
        gliding = cable;
    }
    // A send and return.
    auto* mixer = engine.Add<CSendReturnMixer>("Mixer");
    auto* effect = engine.Add<CGain>("Effect", false, false, 0.25);
    ASSERT_NE(engine.Connect(sine, 0, mixer, 0), nullptr);
    ASSERT_NE(engine.Connect(mixer, 1, effect, 0), nullptr);
    ASSERT_NE(engine.Connect(effect, 1, mixer, 2), nullptr);
    ASSERT_NE(engine.ConnectToMaster(mixer, 3), nullptr);
    // Control events by cable and through a deferred queue, to a machine the
    // master does not reach, and a machine connected to nothing.
    auto* emitter = engine.Add<CControlSource>("Emitter");
    auto* instrument = engine.Add<CControlProbe>("Instrument");
    ASSERT_NE(engine.Connect(emitter, 0, instrument, 0), nullptr);
    emitter->EmitInBlock(0, MakeControlEvent(kEventNoteOn, 17, 60, 1.0, 261.6));
    emitter->EmitInBlock(0, MakeControlEvent(kEventNoteOff, 3, 59, 0.0));
    CConnector* instrumentIn = engine.ConnectorOf(instrument, 0);
    engine.studio->SetPlaybackHook([instrumentIn](int length) {
        const ControlEvent later = MakeControlEvent(kEventParameter, length + 20, 1, 0.5);
        instrumentIn->deferred->Insert(&later);
    });
    engine.Add<CProbe>("Loose", true);

    engine.RenderQuietly(40);

    constexpr int kBlocks = 400;
    AllocationCount count;
    for (int block = 0; block < kBlocks; ++block) {
        // The slider moves between blocks, so cables and the master glide.
        if (block % 50 == 0) {
            gliding->volume = gliding->volume > 0.5 ? 0.1 : 1.0;
            engine.studio->SetMasterVolume(block % 100 == 0 ? 0.5 : 1.0);
        }
        engine.RenderQuietly(1);
    }
    const long counted = count.Stop();
    EXPECT_EQ(counted, 0);

    EXPECT_EQ(sine->workCount, 40 + kBlocks);
    EXPECT_EQ(instrument->workCount, 40 + kBlocks);
    EXPECT_EQ(mixer->returnsCount, 40 + kBlocks);
    EXPECT_GT(meter.Level(0), -90.0);
    engine.studio->SetPlaybackHook({});
    engine.studio->SetPeakMeter(nullptr);
}
