// What the audio callback waits for: user-interface work (deleting
// machines, the idle pass) holds the studio lock only for list and cable
// changes; Idle runs under the machine's own lock, and a deleted machine is
// released after the studio lock is free. The longest wait of a callback
// thread on the studio lock while another thread edits the graph in a loop
// is printed, not asserted: the machine the tests run on is shared.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "host/Studio.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;

/// Records which locks were held when its Idle ran and when it was
/// destroyed.
class CLockWitness : public CConstantSource {
public:
    CLockWitness(CCorvHost* host, CStudio** studio, std::atomic<int>* releasedWithStudioLock)
        : CConstantSource(host, false, 0.1), studio(studio), releasedWithStudioLock(releasedWithStudioLock)
    {
    }
    ~CLockWitness() override
    {
        if ((*studio)->Lock().IsLockedByCaller())
            releasedWithStudioLock->fetch_add(1);
    }
    void Idle() override
    {
        CConstantSource::Idle();
        studioLockedInIdle = (*studio)->Lock().IsLockedByCaller();
        machineLockedInIdle = IsLockedByCaller();
    }
    std::atomic<bool> studioLockedInIdle{true};
    std::atomic<bool> machineLockedInIdle{false};

private:
    CStudio** studio;
    std::atomic<int>* releasedWithStudioLock;
};

} // namespace

TEST(StudioLockWait, IdleRunsUnderTheMachineLockWithoutTheStudioLock)
{
    CEngineStudio engine(kBlock);
    CStudio* studio = engine.studio.get();
    std::atomic<int> releasedLocked{0};
    auto* witness = engine.Add<CLockWitness>("Witness", &studio, &releasedLocked);
    engine.studio->IdlePass();
    EXPECT_EQ(witness->idleCount, 1);
    EXPECT_FALSE(witness->studioLockedInIdle);
    EXPECT_TRUE(witness->machineLockedInIdle);
}

TEST(StudioLockWait, DeleteReleasesTheMachineAfterTheStudioLock)
{
    CEngineStudio engine(kBlock);
    CStudio* studio = engine.studio.get();
    std::atomic<int> releasedLocked{0};
    auto* witness = engine.Add<CLockWitness>("Witness", &studio, &releasedLocked);
    ASSERT_NE(engine.ConnectToMaster(witness, 0), nullptr);
    engine.RenderQuietly(2);
    ASSERT_TRUE(engine.studio->DeleteMachine(engine.ContainerOf(witness)));
    EXPECT_EQ(releasedLocked, 0);
    EXPECT_EQ(engine.studio->Containers().size(), 1u);
    engine.RenderQuietly(2);
}

TEST(StudioLockWait, CallbackKeepsRenderingWhileTheGraphIsEditedAndIdled)
{
    CEngineStudio engine(kBlock);
    CStudio* studio = engine.studio.get();
    std::atomic<int> releasedLocked{0};
    auto* steady = engine.Add<CConstantSource>("Steady", false, 0.25);
    ASSERT_NE(engine.ConnectToMaster(steady, 0), nullptr);

    // The callback as the driver runs it, timing its wait for the lock.
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::vector<double> waits;
    waits.reserve(1 << 16);
    std::thread callback([&] {
        std::vector<double> left(kBlock), right(kBlock);
        double* outputs[2] = {left.data(), right.data()};
        while (!stop.load()) {
            const auto before = std::chrono::steady_clock::now();
            studio->Lock().Lock();
            const auto after = std::chrono::steady_clock::now();
            studio->RenderBlock(2, outputs, kBlock);
            studio->Lock().Unlock();
            if (waits.size() < waits.capacity())
                waits.push_back(std::chrono::duration<double, std::micro>(after - before).count());
            blocks.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });

    // The user-interface side: create, cable, idle, delete, in a loop.
    constexpr int kRounds = 40;
    for (int round = 0; round < kRounds; ++round) {
        auto* a = engine.Add<CLockWitness>("A", &studio, &releasedLocked);
        auto* b = engine.Add<CGain>("B", false, false, 0.5);
        ASSERT_NE(engine.Connect(a, 0, b, 0), nullptr);
        ASSERT_NE(engine.ConnectToMaster(b, 1), nullptr);
        studio->IdlePass();
        ASSERT_TRUE(studio->DeleteMachine(engine.ContainerOf(a)));
        studio->IdlePass();
        ASSERT_TRUE(studio->DeleteMachine(engine.ContainerOf(b)));
    }
    const long before = blocks.load();
    while (blocks.load() < before + 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop = true;
    callback.join();

    EXPECT_EQ(releasedLocked, 0);
    EXPECT_GT(steady->workCount, 5);
    EXPECT_EQ(studio->Containers().size(), 2u);
    ASSERT_FALSE(waits.empty());
    std::sort(waits.begin(), waits.end());
    std::printf("callback studio-lock wait over %zu blocks: median %.1f us, 99th percentile %.1f us, longest %.1f us\n",
                waits.size(), waits[waits.size() / 2], waits[waits.size() * 99 / 100], waits.back());
}
