// Who runs when: once per block per machine under its own lock, the last
// source of each stage on the asking thread and the others on their
// workers while the stage is new or costly, cheap stages on the asking
// thread alone, independent branches at the same time, the two stages of an
// auxiliary send and return, and the timing of control events.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/HostMutex.h"
#include "host/MachineContainer.h"
#include "platform/Thread.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;

/// Spends busyMicros of processor time in every Work and notes how many of
/// its kind were in Work at once and whether one ran off the asking thread.
/// Wanting company, it then goes on until two were in Work at once (at most a
/// second), so that a loaded machine's slow wake cannot hide the overlap.
class CBusySource : public CSource {
public:
    struct Shared {
        std::atomic<int> busyMicros{0};
        std::atomic<bool> wantCompany{false};
        std::atomic<int> inWork{0};
        std::atomic<int> mostInWork{0};
        std::atomic<bool> offAskingThread{false};
        std::thread::id asker = std::this_thread::get_id();
    };
    CBusySource(CCorvHost* host, Shared& shared) : CSource(host, false), shared(shared) {}

protected:
    void Render() override
    {
        const int now = shared.inWork.fetch_add(1) + 1;
        int most = shared.mostInWork.load();
        while (now > most && !shared.mostInWork.compare_exchange_weak(most, now)) {
        }
        if (std::this_thread::get_id() != shared.asker)
            shared.offAskingThread = true;
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::microseconds(shared.busyMicros.load());
        while (std::chrono::steady_clock::now() < end) {
        }
        while (shared.wantCompany && shared.mostInWork.load() < 2 &&
               std::chrono::steady_clock::now() < start + std::chrono::milliseconds(1000)) {
        }
        shared.inWork.fetch_sub(1);
        CSource::Render();
    }
    double Sample(int, int, int) override { return 0.125; }

private:
    Shared& shared;
};

} // namespace

TEST(StudioScheduling, SharedSourceRunsOncePerBlockAndBothConsumersSeeIt)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CCountingSource>("Counter", false);
    auto* a = engine.Add<CGain>("A", false, false, 1.0);
    auto* b = engine.Add<CGain>("B", false, false, 1.0);
    ASSERT_NE(engine.Connect(source, 0, a, 0), nullptr);
    ASSERT_NE(engine.Connect(source, 0, b, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(a, 1), nullptr);
    ASSERT_NE(engine.ConnectToMaster(b, 1), nullptr);

    constexpr int kBlocks = 6;
    engine.RenderQuietly(kBlocks);
    EXPECT_EQ(source->workCount, kBlocks);
    EXPECT_EQ(a->workCount, kBlocks);
    EXPECT_EQ(b->workCount, kBlocks);
    ASSERT_EQ(a->firstInputs.size(), static_cast<std::size_t>(kBlocks));
    ASSERT_EQ(b->firstInputs.size(), static_cast<std::size_t>(kBlocks));
    for (int block = 0; block < kBlocks; ++block) {
        // A second Work in the same block would have shown as a higher count
        // to whichever consumer read after it.
        EXPECT_EQ(a->firstInputs[static_cast<std::size_t>(block)], block + 1);
        EXPECT_EQ(b->firstInputs[static_cast<std::size_t>(block)], block + 1);
    }
}

TEST(StudioScheduling, UnconnectedMachineRunsOnceOnTheCallbackThreadUnlocked)
{
    CEngineStudio engine(kBlock);
    auto* loose = engine.Add<CProbe>("Loose", false);
    auto* source = engine.Add<CConstantSource>("Reached", false, 0.5);
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);

    engine.RenderQuietly(4);
    EXPECT_EQ(loose->workCount, 4);
    EXPECT_EQ(loose->workThreadId.load(), std::this_thread::get_id());
    EXPECT_FALSE(loose->workThreadChanged);
    EXPECT_FALSE(loose->lockedInWork);
    // The reached one, by contrast, ran holding its own lock; as the
    // master's only source it ran on the callback thread, waking no worker.
    EXPECT_EQ(source->workCount, 4);
    EXPECT_EQ(source->workThreadId.load(), std::this_thread::get_id());
    EXPECT_TRUE(source->lockedInWork);
}

TEST(StudioScheduling, LastSourceRunsOnTheAskingThreadOthersOnTheirWorkers)
{
    CEngineStudio engine(kBlock);
    auto* a = engine.Add<CConstantSource>("A", false, 0.1);
    auto* b = engine.Add<CConstantSource>("B", true, 0.1, 0.2);
    auto* gain = engine.Add<CGain>("Gain", false, true, 1.0);
    ASSERT_NE(engine.Connect(a, 0, gain, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(gain, 1), nullptr);
    ASSERT_NE(engine.ConnectToMaster(b, 0), nullptr);

    engine.RenderQuietly(5);
    for (CEngineMachine* machine : {static_cast<CEngineMachine*>(a), static_cast<CEngineMachine*>(b),
                                    static_cast<CEngineMachine*>(gain)}) {
        EXPECT_EQ(machine->workCount, 5) << machine->GetName();
        EXPECT_TRUE(machine->lockedInWork) << machine->GetName();
    }
    // The master's last source runs on the callback thread every block. Its
    // first goes to its worker, unless the callback thread, done with the
    // last, finds it not started yet and runs it itself; the gain's lone
    // source runs wherever the gain runs.
    EXPECT_FALSE(b->workThreadChanged);
    EXPECT_EQ(b->workThreadId.load(), std::this_thread::get_id());
    EXPECT_TRUE(gain->workThread.load() == engine.ContainerOf(gain)->worker.GetHandle() ||
                gain->workThreadId.load() == std::this_thread::get_id());
    EXPECT_EQ(a->workThreadId.load(), gain->workThreadId.load());
    // A source finishes before the machine it feeds starts.
    EXPECT_LT(a->workStamp, gain->workStamp);
}

TEST(StudioScheduling, ChainRunsOnOneThreadWithoutWakingAWorker)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CCountingSource>("Counter", false);
    std::vector<CGain*> links;
    CEngineMachine* previous = source;
    for (int i = 0; i < 8; ++i) {
        auto* link = engine.Add<CGain>("Link", false, false, 1.0);
        ASSERT_NE(engine.Connect(previous, previous == source ? 0 : 1, link, 0), nullptr);
        links.push_back(link);
        previous = link;
    }
    ASSERT_NE(engine.ConnectToMaster(previous, 1), nullptr);

    engine.RenderQuietly(4);
    EXPECT_EQ(source->workThreadId.load(), std::this_thread::get_id());
    for (CGain* link : links) {
        EXPECT_EQ(link->workCount, 4);
        EXPECT_EQ(link->workThreadId.load(), std::this_thread::get_id());
        EXPECT_TRUE(link->lockedInWork);
        // Upstream first, every block.
        EXPECT_LT(source->workStamp, link->workStamp);
    }
    EXPECT_EQ(source->workCount, 4);
}

TEST(StudioScheduling, IndependentBranchesAreInWorkAtTheSameTime)
{
    CEngineStudio engine(kBlock);
    CRendezvous rendezvous(2);
    auto* left = engine.Add<CRendezvousSource>("Left", rendezvous);
    auto* right = engine.Add<CRendezvousSource>("Right", rendezvous);
    // One branch directly, one through a gain: both of the master's sources
    // are asked before either is awaited.
    auto* gain = engine.Add<CGain>("Gain", false, false, 1.0);
    ASSERT_NE(engine.ConnectToMaster(left, 0), nullptr);
    ASSERT_NE(engine.Connect(right, 0, gain, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(gain, 1), nullptr);

    engine.RenderQuietly(8);
    EXPECT_EQ(rendezvous.missed, 0);
    EXPECT_EQ(left->workCount, 8);
    EXPECT_EQ(right->workCount, 8);
}

TEST(StudioScheduling, UnreachedBranchesMeetToo)
{
    // A machine the master does not reach is processed from the callback
    // thread, but it asks its sources of their workers like any other. The
    // recorder comes first in the list, so it reaches the sources before the
    // callback would take them one by one.
    CEngineStudio engine(kBlock);
    CRendezvous rendezvous(2);
    auto* probe = engine.Add<CProbe>("Recorder", false);
    auto* first = engine.Add<CRendezvousSource>("First", rendezvous);
    auto* second = engine.Add<CRendezvousSource>("Second", rendezvous);
    ASSERT_NE(engine.Connect(first, 0, probe, 0), nullptr);
    ASSERT_NE(engine.Connect(second, 0, probe, 0), nullptr);
    engine.RenderQuietly(4);
    EXPECT_EQ(rendezvous.missed, 0);
    EXPECT_EQ(probe->workCount, 4);
    EXPECT_EQ(probe->Audio(0).left[0], 0.5);
}

TEST(StudioScheduling, SendEffectReturnRunInOneBlockInStageOrder)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CCountingSource>("Counter", false);
    auto* mixer = engine.Add<CSendReturnMixer>("Mixer");
    auto* effect = engine.Add<CGain>("Effect", false, false, 0.5);
    ASSERT_NE(engine.Connect(source, 0, mixer, 0), nullptr);
    ASSERT_NE(engine.Connect(mixer, 1, effect, 0), nullptr);   // send
    ASSERT_NE(engine.Connect(effect, 1, mixer, 2), nullptr);   // return
    ASSERT_NE(engine.ConnectToMaster(mixer, 3), nullptr);
    // The return is mixed onto what the mixer left in the port.
    mixer->returnBase = 0.125;

    constexpr int kBlocks = 5;
    for (int block = 1; block <= kBlocks; ++block) {
        engine.RenderQuietly(1);
        EXPECT_EQ(mixer->workCount, block);
        EXPECT_EQ(effect->workCount, block);
        EXPECT_EQ(mixer->returnsCount, block);
        EXPECT_LT(mixer->workStamp, effect->workStamp) << block;
        EXPECT_LT(effect->workStamp, mixer->returnsStamp) << block;
        // The return carries this block's send, not the previous one's.
        EXPECT_EQ(mixer->firstReturns.back(), 0.125 + 0.5 * block);
        EXPECT_EQ(mixer->Audio(3).left[kBlock - 1], 0.125 + 1.5 * block);
    }
    // The effect's input is the send read as it stands, never requested, so
    // the effect ran when the mixer's second stage asked for it: as its only
    // return source, on the mixer's own thread and under its own lock.
    EXPECT_EQ(effect->workThreadId.load(), mixer->workThreadId.load());
    EXPECT_TRUE(effect->lockedInWork);
}

TEST(StudioScheduling, DeferredEventArrivesInTheNextBlockShiftedByTheBlock)
{
    CEngineStudio engine(kBlock);
    auto* probe = engine.Add<CControlProbe>("Events");
    CConnector* input = engine.ConnectorOf(probe, 0);
    ASSERT_NE(input->deferred, nullptr);
    const ControlEvent late = MakeControlEvent(kEventNoteOn, 300, 60, 0.8, 261.6);
    input->deferred->Insert(&late);

    engine.RenderQuietly(1);
    EXPECT_TRUE(probe->seen.empty());
    EXPECT_EQ(input->deferred->Count(), 1);
    EXPECT_EQ(input->deferred->At(0)->time, 300 - kBlock);

    engine.RenderQuietly(1);
    ASSERT_EQ(probe->seen.size(), 1u);
    EXPECT_EQ(probe->seen[0].block, 2);
    EXPECT_EQ(probe->seen[0].time, 300 - kBlock);
    EXPECT_EQ(probe->seen[0].index, 60);
    EXPECT_EQ(input->deferred->Count(), 0);

    // Delivered once: the port is cleared at the start of the next block.
    engine.RenderQuietly(2);
    EXPECT_EQ(probe->seen.size(), 1u);
}

TEST(StudioScheduling, ControlInputsAreClearedEachBlock)
{
    CEngineStudio engine(kBlock);
    auto* emitter = engine.Add<CControlSource>("Emitter");
    auto* probe = engine.Add<CControlProbe>("Events");
    ASSERT_NE(engine.Connect(emitter, 0, probe, 0), nullptr);
    emitter->EmitInBlock(1, MakeControlEvent(kEventParameter, 12, 3, 0.25));

    // Left over from before the block: it must not reach Work.
    const ControlEvent stale = MakeControlEvent(kEventNoteOff, 7, 61, 0.0);
    probe->Control(0).Insert(&stale);

    engine.RenderQuietly(3);
    ASSERT_EQ(probe->seen.size(), 1u);
    EXPECT_EQ(probe->seen[0].block, 1);
    EXPECT_EQ(probe->seen[0].type, kEventParameter);
    EXPECT_EQ(probe->seen[0].time, 12);
    EXPECT_EQ(probe->workCount, 3);
}

TEST(StudioScheduling, ControlCablesMergeBySampleTime)
{
    CEngineStudio engine(kBlock);
    auto* early = engine.Add<CControlSource>("Early");
    auto* late = engine.Add<CControlSource>("Late");
    auto* probe = engine.Add<CControlProbe>("Events");
    // The later source is cabled first, so list order alone would be wrong.
    ASSERT_NE(engine.Connect(late, 0, probe, 0), nullptr);
    ASSERT_NE(engine.Connect(early, 0, probe, 0), nullptr);
    late->EmitInBlock(0, MakeControlEvent(kEventTriggerOn, 200, 1, 1.0));
    early->EmitInBlock(0, MakeControlEvent(kEventTriggerOn, 20, 2, 1.0));

    engine.RenderQuietly(2);
    ASSERT_EQ(probe->seen.size(), 4u);
    for (int block = 0; block < 2; ++block) {
        EXPECT_EQ(probe->seen[2 * block].time, 20);
        EXPECT_EQ(probe->seen[2 * block].index, 2);
        EXPECT_EQ(probe->seen[2 * block + 1].time, 200);
        EXPECT_EQ(probe->seen[2 * block + 1].block, block + 1);
    }
}

TEST(StudioScheduling, PlaybackHookQueuesEventsForThisBlockUnderThePatternLock)
{
    CHostMutex patternLock;
    CEngineStudio engine(kBlock);
    auto* probe = engine.Add<CControlProbe>("Instrument");
    CConnector* input = engine.ConnectorOf(probe, 0);
    int calls = 0;
    int lengthSeen = 0;
    bool lockHeld = false;
    bool beforeWork = true;
    engine.studio->SetPatternLock(&patternLock);
    engine.studio->SetPlaybackHook([&](int length) {
        ++calls;
        lengthSeen = length;
        lockHeld = patternLock.IsLocked();
        beforeWork = beforeWork && probe->workCount == calls - 1;
        // One event inside this block, one for the next.
        const ControlEvent now = MakeControlEvent(kEventNoteOn, 100, 64, 1.0);
        const ControlEvent next = MakeControlEvent(kEventNoteOff, length + 10, 64, 0.0);
        probe->Control(0).Insert(&now);
        input->deferred->Insert(&next);
    });

    engine.RenderQuietly(2);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(lengthSeen, kBlock);
    EXPECT_TRUE(lockHeld);
    EXPECT_TRUE(beforeWork);
    EXPECT_FALSE(patternLock.IsLocked());
    ASSERT_EQ(probe->seen.size(), 3u);
    EXPECT_EQ(probe->seen[0].block, 1);
    EXPECT_EQ(probe->seen[0].time, 100);
    // Block 2 has the deferred note-off at 10 and its own note-on at 100.
    EXPECT_EQ(probe->seen[1].block, 2);
    EXPECT_EQ(probe->seen[1].type, kEventNoteOff);
    EXPECT_EQ(probe->seen[1].time, 10);
    EXPECT_EQ(probe->seen[2].time, 100);
    engine.studio->SetPlaybackHook({});
    engine.studio->SetPatternLock(nullptr);
}

TEST(StudioScheduling, SharedSourcesInWideFanInsAreCompleteBeforeEveryConsumer)
{
    // Sixteen sources, each read by four mixing gains and by the master:
    // whichever thread runs a source, every consumer must see this block's
    // value, and each source must run once. A consumer reading a source
    // still in Work, or twice processed, shows as a wrong sum.
    CEngineStudio engine(kBlock);
    std::vector<CCountingSource*> sources;
    std::vector<CGain*> gains;
    for (int i = 0; i < 16; ++i)
        sources.push_back(engine.Add<CCountingSource>("Counter", false));
    for (int g = 0; g < 4; ++g) {
        auto* gain = engine.Add<CGain>("Gain", false, false, 1.0);
        for (CCountingSource* source : sources)
            ASSERT_NE(engine.Connect(source, 0, gain, 0), nullptr);
        ASSERT_NE(engine.ConnectToMaster(gain, 1), nullptr);
        gains.push_back(gain);
    }
    for (CCountingSource* source : sources)
        ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
    const CAudioBuffer* masterIn = engine.studio->MasterContainer()->machine->ports[0]->audio;

    constexpr int kBlocks = 300;
    for (int block = 1; block <= kBlocks; ++block) {
        engine.RenderQuietly(1);
        ASSERT_EQ(masterIn->left[0], 80.0 * block) << block;
        ASSERT_EQ(gains[static_cast<std::size_t>(block % 4)]->firstInputs.back(), 16.0 * block) << block;
    }
    for (CCountingSource* source : sources) {
        EXPECT_EQ(source->workCount, kBlocks);
        EXPECT_TRUE(source->lockedInWork);
    }
    for (CGain* gain : gains)
        EXPECT_EQ(gain->workCount, kBlocks);
}

TEST(StudioScheduling, CheapStagesStayOnTheAskingThreadAndCostlyOnesShareTheWork)
{
    CEngineStudio engine(kBlock);
    CBusySource::Shared shared;
    auto* left = engine.Add<CBusySource>("Left", shared);
    auto* right = engine.Add<CBusySource>("Right", shared);
    ASSERT_NE(engine.ConnectToMaster(left, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(right, 0), nullptr);

    // Past the blocks a new stage is learnt in, two cheap sources wake no worker.
    engine.RenderQuietly(CMachineContainer::kLearningBlocks + 1);
    shared.offAskingThread = false;
    shared.mostInWork = 0;
    engine.RenderQuietly(8);
    EXPECT_FALSE(shared.offAskingThread);
    EXPECT_EQ(shared.mostInWork.load(), 1);

    // Each now costs a fifth of the block (256 samples at 44.1 kHz are
    // 5.8 ms): together more than a quarter, so they run side by side.
    shared.busyMicros = 1160;
    engine.RenderQuietly(1);
    shared.wantCompany = true;
    engine.RenderQuietly(8);
    EXPECT_TRUE(shared.offAskingThread);
    EXPECT_EQ(shared.mostInWork.load(), 2);
    EXPECT_EQ(left->workCount, right->workCount);

    // A new cable learns again: the cheap stage shares its sources at once.
    shared.busyMicros = 0;
    shared.wantCompany = false;
    engine.RenderQuietly(CMachineContainer::kParallelHoldBlocks + 1);
    auto* third = engine.Add<CBusySource>("Third", shared);
    ASSERT_NE(engine.ConnectToMaster(third, 0), nullptr);
    shared.offAskingThread = false;
    shared.mostInWork = 0;
    shared.wantCompany = true;
    engine.RenderQuietly(2);
    EXPECT_TRUE(shared.offAskingThread);
    EXPECT_EQ(shared.mostInWork.load(), 2);
}
