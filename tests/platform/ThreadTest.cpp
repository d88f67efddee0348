#include "platform/Thread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "platform/Semaphore.h"
#include "TestSupport.h"

using platform::Thread;
using platform_test::CurrentTid;
using platform_test::kGenerousBound;
using platform_test::WaitUntil;

namespace {

// What a started thread saw of itself.
struct Observed {
    std::atomic<bool> entered{false};
    std::atomic<int> runs{0};
    std::atomic<Thread*> current{nullptr};
    std::thread::id id;
    int policy = -1;
    int niceValue = 0;
    platform::Semaphore* gate = nullptr;   // when set, waited on before looking
};

void Observe(void* argument)
{
    auto* observed = static_cast<Observed*>(argument);
    observed->entered = true;
    if (observed->gate != nullptr)
        observed->gate->Wait();
    observed->id = std::this_thread::get_id();
    observed->policy = sched_getscheduler(0);
    observed->niceValue = getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentTid()));
    observed->current = Thread::Current();
    observed->runs.fetch_add(1);
}

int GenerousBoundMilliseconds()
{
    return static_cast<int>(std::chrono::milliseconds(kGenerousBound).count());
}

} // namespace

TEST(Thread, DoesNotRunUntilResumed)
{
    Observed observed;
    Thread thread(&Observe, &observed);
    EXPECT_FALSE(thread.IsStarted());
    platform::Sleep(20);
    EXPECT_EQ(observed.runs.load(), 0);

    thread.Resume();
    EXPECT_TRUE(thread.IsStarted());
    thread.Join();
    EXPECT_EQ(observed.runs.load(), 1);
    EXPECT_EQ(observed.current.load(), &thread);
    EXPECT_NE(observed.id, std::this_thread::get_id());
    EXPECT_EQ(Thread::Current(), nullptr);
}

TEST(Thread, ResumingAgainDoesNotRunItTwice)
{
    Observed observed;
    {
        Thread thread(&Observe, &observed);
        thread.Resume();
        thread.Resume();
        thread.Join();
        thread.Resume();
        thread.Join();
    }
    EXPECT_EQ(observed.runs.load(), 1);

    // Nor do callers racing to start it.
    Observed raced;
    Thread thread(&Observe, &raced);
    std::vector<std::thread> starters;
    for (int i = 0; i < 4; ++i)
        starters.emplace_back([&] { thread.Resume(); });
    for (auto& starter : starters)
        starter.join();
    thread.Join();
    EXPECT_EQ(raced.runs.load(), 1);
}

TEST(Thread, JoinAndDestructionOfANeverStartedThreadReturn)
{
    Observed observed;
    {
        Thread thread(&Observe, &observed);
        thread.Join();
        thread.Join();
        EXPECT_FALSE(thread.IsStarted());
    }
    EXPECT_EQ(observed.runs.load(), 0);
}

TEST(Thread, DestructorJoinsAStartedThread)
{
    Observed observed;
    platform::Semaphore gate(0, 1);
    observed.gate = &gate;
    {
        Thread thread(&Observe, &observed);
        thread.Resume();
        EXPECT_TRUE(gate.Release());
    }
    EXPECT_EQ(observed.runs.load(), 1);
}

namespace {

struct SelfDestroying {
    Thread* thread = nullptr;
    platform::Semaphore* done = nullptr;
};

void DestroyOwnThread(void* argument)
{
    auto* self = static_cast<SelfDestroying*>(argument);
    delete self->thread;
    self->done->Release();
}

} // namespace

// The last owner of a thread object may be the thread itself (a worker that
// tears down its own driver); that must not take the process down.
TEST(Thread, AThreadMayDestroyItsOwnObject)
{
    platform::Semaphore done(0, 1);
    SelfDestroying self;
    self.done = &done;
    self.thread = new Thread(&DestroyOwnThread, &self);
    self.thread->Resume();
    EXPECT_TRUE(done.WaitFor(GenerousBoundMilliseconds()));
}

TEST(Thread, SetPriorityAtAnyLevelNeverFailsAndTheThreadRuns)
{
    // Raising a nice value is always allowed; lowering it or getting
    // real-time scheduling depends on the user's limits, so above normal
    // accepts either outcome.
    struct Case {
        int level;
        int minimumNice;
    };
    const Case cases[] = {
        {platform::kPriorityIdle, 19},       {platform::kPriorityLowest, 10},
        {platform::kPriorityBelowNormal, 5}, {platform::kPriorityNormal, -20},
        {platform::kPriorityAboveNormal, -20}, {platform::kPriorityHighest, -20},
        {platform::kPriorityTimeCritical, -20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        Observed observed;
        Thread thread(&Observe, &observed);
        thread.SetPriority(c.level);
        EXPECT_EQ(thread.GetPriority(), c.level);
        thread.Resume();
        thread.Join();
        ASSERT_EQ(observed.runs.load(), 1);
        EXPECT_GE(observed.niceValue, c.minimumNice);
        if (c.level > platform::kPriorityNormal)
            EXPECT_TRUE(observed.policy == SCHED_FIFO || observed.policy == SCHED_OTHER) << observed.policy;
        else
            EXPECT_EQ(observed.policy, SCHED_OTHER);
    }
}

TEST(Thread, SetPriorityReachesAThreadThatIsAlreadyRunning)
{
    Observed observed;
    platform::Semaphore gate(0, 1);
    observed.gate = &gate;
    Thread thread(&Observe, &observed);
    thread.Resume();
    EXPECT_TRUE(WaitUntil([&] { return observed.entered.load(); }));
    thread.SetPriority(platform::kPriorityAboveNormal);
    thread.SetPriority(platform::kPriorityBelowNormal);
    EXPECT_EQ(thread.GetPriority(), platform::kPriorityBelowNormal);
    EXPECT_TRUE(gate.Release());
    thread.Join();
    ASSERT_EQ(observed.runs.load(), 1);
    EXPECT_EQ(observed.policy, SCHED_OTHER);
    EXPECT_GE(observed.niceValue, 5);
}

namespace {

// A worker in the engine's shape: it sleeps alertably until a procedure tells
// it to stop.
struct Worker {
    std::atomic<bool> stop{false};
    std::atomic<bool> timedOut{false};
    std::thread::id id;
    Thread* self = nullptr;
    int ran = 0;
};

void WorkerLoop(void* argument)
{
    auto* worker = static_cast<Worker*>(argument);
    worker->id = std::this_thread::get_id();
    const auto deadline = std::chrono::steady_clock::now() + kGenerousBound;
    while (!worker->stop.load()) {
        worker->ran += Thread::AlertableSleep(50);
        if (std::chrono::steady_clock::now() > deadline) {
            worker->timedOut = true;
            return;
        }
    }
}

void StopWorker(std::uintptr_t argument)
{
    reinterpret_cast<Worker*>(argument)->stop = true;
}

struct Job;
struct JobLog {
    Worker* worker = nullptr;
    std::vector<const Job*> ran;   // worker thread only
    int wrongThread = 0;
};
struct Job {
    JobLog* log = nullptr;
    int producer = 0;
    int sequence = 0;
};

void RunJob(std::uintptr_t argument)
{
    const auto* job = reinterpret_cast<const Job*>(argument);
    JobLog* log = job->log;
    if (Thread::Current() != log->worker->self || std::this_thread::get_id() != log->worker->id)
        ++log->wrongThread;
    log->ran.push_back(job);
}

} // namespace

TEST(Thread, QueuedProceduresRunOnTheTargetThreadInOrderPerProducer)
{
    constexpr int kProducers = 3;
    constexpr int kPerProducer = 3000;
    Worker worker;
    Thread thread(&WorkerLoop, &worker);
    worker.self = &thread;
    JobLog log;
    log.worker = &worker;
    std::vector<std::vector<Job>> jobs(kProducers, std::vector<Job>(kPerProducer));
    for (int p = 0; p < kProducers; ++p) {
        for (int i = 0; i < kPerProducer; ++i)
            jobs[p][i] = {&log, p, i};
    }
    thread.Resume();

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (const Job& job : jobs[p]) {
                while (!thread.QueueProcedure(&RunJob, reinterpret_cast<std::uintptr_t>(&job)))
                    std::this_thread::yield();
            }
        });
    }
    for (auto& producer : producers)
        producer.join();
    // Queued after every job, so it runs after all of them.
    while (!thread.QueueProcedure(&StopWorker, reinterpret_cast<std::uintptr_t>(&worker)))
        std::this_thread::yield();
    thread.Join();

    EXPECT_FALSE(worker.timedOut);
    EXPECT_EQ(worker.ran, kProducers * kPerProducer + 1);
    ASSERT_EQ(log.ran.size(), static_cast<std::size_t>(kProducers * kPerProducer));
    EXPECT_EQ(log.wrongThread, 0);
    std::vector<int> next(kProducers, 0);
    for (const Job* job : log.ran) {
        EXPECT_EQ(job->sequence, next[job->producer]) << "producer " << job->producer;
        next[job->producer] = job->sequence + 1;
    }
}

TEST(Thread, AFullQueueRefusesAndKeepsEverythingItAccepted)
{
    Worker worker;
    Thread thread(&WorkerLoop, &worker);
    worker.self = &thread;
    JobLog log;
    log.worker = &worker;
    std::vector<Job> jobs(platform::ProcedureQueue::kCapacity + 1);
    for (std::size_t i = 0; i < jobs.size(); ++i)
        jobs[i] = {&log, 0, static_cast<int>(i)};

    // Not started: nothing drains the queue while it is filled.
    for (std::size_t i = 0; i < platform::ProcedureQueue::kCapacity; ++i)
        ASSERT_TRUE(thread.QueueProcedure(&RunJob, reinterpret_cast<std::uintptr_t>(&jobs[i]))) << i;
    EXPECT_FALSE(thread.QueueProcedure(&RunJob, reinterpret_cast<std::uintptr_t>(&jobs.back())));
    EXPECT_FALSE(thread.QueueProcedure(&StopWorker, reinterpret_cast<std::uintptr_t>(&worker)));

    thread.Resume();
    // Room again once the thread has drained what it held.
    EXPECT_TRUE(WaitUntil([&] {
        return thread.QueueProcedure(&StopWorker, reinterpret_cast<std::uintptr_t>(&worker));
    }));
    thread.Join();

    EXPECT_FALSE(worker.timedOut);
    ASSERT_EQ(log.ran.size(), platform::ProcedureQueue::kCapacity);
    for (std::size_t i = 0; i < log.ran.size(); ++i)
        EXPECT_EQ(log.ran[i], &jobs[i]);
    EXPECT_EQ(log.wrongThread, 0);
}

TEST(Thread, AlertableSleepOnAForeignThreadJustSleeps)
{
    // Procedures queued to a thread object are that thread's; a sleeping
    // thread of another origin neither runs them nor is woken by them.
    Worker worker;
    Thread thread(&WorkerLoop, &worker);
    worker.self = &thread;
    JobLog log;
    log.worker = &worker;
    Job job{&log, 0, 0};
    ASSERT_TRUE(thread.QueueProcedure(&RunJob, reinterpret_cast<std::uintptr_t>(&job)));

    EXPECT_EQ(Thread::Current(), nullptr);
    EXPECT_EQ(Thread::AlertableSleep(5), 0);
    int ranElsewhere = -1;
    std::thread([&] {
        EXPECT_EQ(Thread::Current(), nullptr);
        ranElsewhere = Thread::AlertableSleep(5);
    }).join();
    EXPECT_EQ(ranElsewhere, 0);
    EXPECT_TRUE(log.ran.empty());

    ASSERT_TRUE(thread.QueueProcedure(&StopWorker, reinterpret_cast<std::uintptr_t>(&worker)));
    thread.Resume();
    thread.Join();
    ASSERT_EQ(log.ran.size(), 1u);
    EXPECT_EQ(log.wrongThread, 0);
}
