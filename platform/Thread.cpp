#include "platform/Thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace platform {

struct Thread::Native {
    std::thread thread;
    std::mutex startLock;       // orders Resume against SetPriority
    std::condition_variable running;   // the thread has set itself up
    pid_t tid = 0;
    bool started = false;       // a thread runs at most once
    bool resumed = false;       // Resume is done with the object; the entry may run
};

namespace {

thread_local Thread* currentThread = nullptr;

// Real-time priorities stay below what JACK gives its own process thread
// (10 by default for clients' callbacks is common), so workers serve the
// callback without pre-empting it.
int RealtimePriorityFor(int level)
{
    if (level >= kPriorityTimeCritical)
        return 9;
    if (level >= kPriorityHighest)
        return 8;
    return 7;
}

// CORVANE_REALTIME=0 keeps every thread at normal scheduling, for machines
// where real-time threads do more harm than good (some virtual machines).
bool RealtimeAllowed()
{
    static const bool allowed = [] {
        const char* setting = std::getenv("CORVANE_REALTIME");
        return setting == nullptr || std::strcmp(setting, "0") != 0;
    }();
    return allowed;
}

} // namespace

Thread::Thread(Entry entry, void* argument)
    : entry(entry), argument(argument), native(std::make_unique<Native>())
{
}

Thread::~Thread()
{
    // A thread may drop the last reference to its own object. It cannot wait
    // for itself, and destroying a joinable std::thread ends the process, so
    // it is let go and finishes on its own (Run touches nothing of this
    // object once the entry has returned).
    if (native->thread.joinable() && native->thread.get_id() == std::this_thread::get_id())
        native->thread.detach();
    Join();
}

void Thread::Run(Thread* self)
{
    currentThread = self;
    {
        // The entry starts only once Resume has seen the thread set up and
        // let go of the object: an entry that destroys its own object
        // would otherwise free the lock Resume is about to take again.
        std::unique_lock<std::mutex> guard(self->native->startLock);
        self->native->tid = static_cast<pid_t>(syscall(SYS_gettid));
        self->ApplyPriority();
        self->native->running.notify_all();
        self->native->running.wait(guard, [self] { return self->native->resumed; });
    }
    self->entry(self->argument);
    currentThread = nullptr;
}

void Thread::Resume()
{
    std::unique_lock<std::mutex> guard(native->startLock);
    if (native->started)
        return;
    native->started = true;
    native->thread = std::thread(&Thread::Run, this);
    // Back only once the thread has set itself up (its stack, its priority):
    // a worker is never still being born when the first block asks for it,
    // and whatever its start-up allocates happens here, not in that block.
    native->running.wait(guard, [this] { return native->tid != 0; });
    native->resumed = true;
    native->running.notify_all();
}

bool Thread::IsStarted() const noexcept
{
    std::lock_guard<std::mutex> guard(native->startLock);
    return native->started;
}

void Thread::Join()
{
    if (native->thread.joinable() && native->thread.get_id() != std::this_thread::get_id())
        native->thread.join();
}

void Thread::SetPriority(int level)
{
    std::lock_guard<std::mutex> guard(native->startLock);
    priority = level;
    if (native->tid != 0)
        ApplyPriority();
}

void Thread::ApplyPriority() noexcept
{
    const pid_t tid = native->tid;
    if (priority > kPriorityNormal && RealtimeAllowed()) {
        sched_param parameter{};
        parameter.sched_priority = RealtimePriorityFor(priority);
        if (sched_setscheduler(tid, SCHED_FIFO, &parameter) == 0)
            return;
        // Not allowed by the user's limits: run at normal priority.
    }
    sched_param normal{};
    sched_setscheduler(tid, SCHED_OTHER, &normal);
    // Below-normal levels are expressed as a higher nice value of the thread.
    const int niceValue = priority < kPriorityNormal ? (priority <= kPriorityIdle ? 19 : -priority * 5) : 0;
    setpriority(PRIO_PROCESS, static_cast<id_t>(tid), niceValue);
}

bool Thread::QueueProcedure(Procedure procedure, std::uintptr_t procedureArgument) noexcept
{
    return queue.Push(procedure, procedureArgument);
}

Thread* Thread::Current() noexcept
{
    return currentThread;
}

int Thread::AlertableSleep(int milliseconds) noexcept
{
    if (currentThread == nullptr) {
        Sleep(milliseconds);
        return 0;
    }
    return currentThread->queue.WaitAndRun(milliseconds);
}

void Sleep(int milliseconds) noexcept
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace platform
