// CThread: a worker that runs Body under its own lock until it is stopped.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <semaphore>
#include <thread>

#include "framework/Thread.h"
#include "platform/RecursiveMutex.h"
#include "platform/Thread.h"
#include "tests/framework/Waiting.h"

namespace {

using waiting::Eventually;
using waiting::Finishes;

/// Counts its Body calls and records every broken promise of the loop: a
/// Body without the thread's lock, a Body while someone else holds the lock,
/// a Body after Stop returned.
class CCountingThread : public CThread {
public:
    ~CCountingThread() override { Stop(); }

    void ThreadLoop() override
    {
        CThread::ThreadLoop();
        loopEnded.store(true);
    }

    void Body() override
    {
        if (!IsLocked() || !handle->IsHeldByCurrentThread())
            withoutLock.fetch_add(1);
        if (outsideHolds.load())
            overlapped.fetch_add(1);
        if (stopReturned.load())
            afterStop.fetch_add(1);
        inBody.store(true);
        if (bodies.load() == 0 && firstBodyGate != nullptr) {
            firstBodyEntered.release();
            firstBodyGate->acquire();
        }
        for (int i = 0; i < spins; ++i)
            std::this_thread::yield();
        inBody.store(false);
        bodies.fetch_add(1);
    }

    int spins = 0;
    std::binary_semaphore* firstBodyGate = nullptr;
    std::binary_semaphore firstBodyEntered{0};
    std::atomic<int> bodies{0};
    std::atomic<bool> inBody{false};
    std::atomic<bool> loopEnded{false};
    std::atomic<bool> outsideHolds{false};
    std::atomic<bool> stopReturned{false};
    std::atomic<int> withoutLock{0};
    std::atomic<int> overlapped{0};
    std::atomic<int> afterStop{0};
};

TEST(Thread, StopOnANeverResumedThreadReturnsAtOnce)
{
    CCountingThread thread;
    EXPECT_FALSE(thread.IsRunning());
    Finishes("Stop before Resume", [&] { thread.Stop(); });
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_FALSE(thread.GetHandle()->IsStarted());
    EXPECT_EQ(thread.bodies.load(), 0);
}

TEST(Thread, StopWaitsForTheCurrentBodyAndJoins)
{
    std::binary_semaphore gate{0};
    CCountingThread thread;
    thread.firstBodyGate = &gate;
    thread.Resume();
    EXPECT_TRUE(thread.IsRunning());
    ASSERT_TRUE(thread.firstBodyEntered.try_acquire_for(waiting::kPatience));

    // Stop is asked while the first Body is still inside; it can only
    // return once that Body has finished and the loop has ended.
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        thread.Stop();
        stopped.store(true);
        thread.stopReturned.store(true);
    });
    EXPECT_FALSE(stopped.load());
    EXPECT_EQ(thread.bodies.load(), 0);
    gate.release();
    stopper.join();
    EXPECT_GE(thread.bodies.load(), 1);
    EXPECT_FALSE(thread.inBody.load());
    EXPECT_TRUE(thread.loopEnded.load());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.afterStop.load(), 0);
}

TEST(Thread, RepeatedStartAndStopNeverLeavesABodyRunning)
{
    for (int round = 0; round < 100; ++round) {
        CCountingThread thread;
        thread.spins = 20;
        thread.Resume();
        // Every other round stops before the first Body can have started.
        if (round % 2 == 0) {
            ASSERT_TRUE(Eventually([&] { return thread.bodies.load() > 0; })) << "round " << round;
        }
        thread.Stop();
        thread.stopReturned.store(true);
        ASSERT_FALSE(thread.inBody.load()) << "round " << round;
        ASSERT_TRUE(thread.loopEnded.load()) << "round " << round;
        ASSERT_EQ(thread.afterStop.load(), 0) << "round " << round;
        ASSERT_EQ(thread.withoutLock.load(), 0) << "round " << round;
    }
}

TEST(Thread, BodyRunsWithTheThreadLockHeld)
{
    CCountingThread thread;
    thread.Resume();
    for (int round = 0; round < 20; ++round) {
        const int before = thread.bodies.load();
        ASSERT_TRUE(Eventually([&] { return thread.bodies.load() > before + 2; }));
        // What a driver does to reconfigure: take the thread's lock, so no
        // Body can run until it is given back.
        thread.Lock();
        thread.outsideHolds.store(true);
        EXPECT_FALSE(thread.inBody.load());
        const int held = thread.bodies.load();
        for (int i = 0; i < 200; ++i)
            std::this_thread::yield();
        EXPECT_EQ(thread.bodies.load(), held);
        thread.outsideHolds.store(false);
        thread.Unlock();
    }
    thread.Stop();
    EXPECT_EQ(thread.withoutLock.load(), 0);
    EXPECT_EQ(thread.overlapped.load(), 0);
}

TEST(Thread, AStoppedThreadIsNotRestarted)
{
    CCountingThread thread;
    thread.Resume();
    ASSERT_TRUE(Eventually([&] { return thread.bodies.load() > 0; }));
    thread.Stop();
    thread.stopReturned.store(true);
    thread.Resume();
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.GetHandle()->IsStarted());
    Finishes("Stop after a refused Resume", [&] { thread.Stop(); });
    EXPECT_EQ(thread.afterStop.load(), 0);
}

TEST(Thread, DestroyingARunningThreadStopsIt)
{
    auto* thread = new CCountingThread;
    thread->spins = 10;
    thread->Resume();
    ASSERT_TRUE(Eventually([&] { return thread->bodies.load() > 0; }));
    Finishes("destroying a running thread", [&] { delete thread; });
}

TEST(Thread, RunsAtAnyPriority)
{
    // Real-time scheduling may be refused by the user's limits; the thread
    // runs either way.
    for (int priority : {platform::kPriorityBelowNormal, platform::kPriorityAboveNormal,
                         platform::kPriorityTimeCritical}) {
        CCountingThread thread;
        thread.SetPriority(priority);
        EXPECT_EQ(thread.GetHandle()->GetPriority(), priority);
        thread.Resume();
        EXPECT_TRUE(Eventually([&] { return thread.bodies.load() > 0; })) << priority;
    }
}

/// The engine's worker: each Body sleeps, and procedures queued to the
/// thread run during the sleep.
class CSleepingThread : public CThread {
public:
    ~CSleepingThread() override { Stop(); }
    void Body() override { platform::Thread::AlertableSleep(50); }
};

struct ProcedureLog {
    std::atomic<int> ran{0};
    int order[16] = {};
    platform::Thread* ranOn[16] = {};
};

ProcedureLog* procedureLog = nullptr;

void RecordProcedure(std::uintptr_t argument)
{
    const int slot = procedureLog->ran.load();
    procedureLog->order[slot] = static_cast<int>(argument);
    procedureLog->ranOn[slot] = platform::Thread::Current();
    procedureLog->ran.store(slot + 1);
}

TEST(Thread, QueuedProceduresRunOnTheThreadInOrder)
{
    ProcedureLog log;
    procedureLog = &log;
    CSleepingThread thread;
    thread.Resume();
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(thread.GetHandle()->QueueProcedure(&RecordProcedure, static_cast<std::uintptr_t>(i)));
    ASSERT_TRUE(Eventually([&] { return log.ran.load() == 16; }));
    thread.Stop();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(log.order[i], i);
        EXPECT_EQ(log.ranOn[i], thread.GetHandle());
    }
    procedureLog = nullptr;
}

} // namespace
