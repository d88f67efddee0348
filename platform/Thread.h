#pragma once
// An operating-system thread that is created suspended, can be given a
// priority before or after it starts, and owns a queue of procedures that
// other threads hand it (see ProcedureQueue).

#include <cstdint>
#include <memory>

#include "platform/ProcedureQueue.h"

namespace platform {

/// Windows-style priority levels; the framework's callers speak in these.
enum ThreadPriority : int {
    kPriorityIdle = -15,
    kPriorityLowest = -2,
    kPriorityBelowNormal = -1,
    kPriorityNormal = 0,
    kPriorityAboveNormal = 1,
    kPriorityHighest = 2,
    kPriorityTimeCritical = 15,
};

class Thread {
public:
    using Entry = void (*)(void* argument);

    /// The thread does not run until Resume, which returns once it has set
    /// itself up.
    Thread(Entry entry, void* argument);
    /// Joins the thread if it was started.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    /// Starts the thread; a second call does nothing.
    void Resume();
    /// Applies now if running, else when the thread starts. Levels above
    /// normal ask for real-time scheduling, which is used when the user's
    /// limits allow it; otherwise the thread runs at normal priority. Never
    /// fails.
    void SetPriority(int priority);
    int GetPriority() const noexcept { return priority; }
    bool IsStarted() const noexcept;
    /// Waits for the thread to end; returns at once if it never started.
    void Join();

    /// Any thread, allocation-free. False when the queue is full.
    bool QueueProcedure(Procedure procedure, std::uintptr_t argument) noexcept;

    /// Sleeps the calling thread up to milliseconds; on a thread of this
    /// class, procedures queued to it end the sleep early and run on it.
    /// Returns how many procedures ran.
    static int AlertableSleep(int milliseconds) noexcept;
    /// The Thread object of the calling thread, or null for threads this
    /// class did not create.
    static Thread* Current() noexcept;

private:
    struct Native;
    static void Run(Thread* self);
    void ApplyPriority() noexcept;

    Entry entry;
    void* argument;
    int priority = kPriorityNormal;
    ProcedureQueue queue;
    std::unique_ptr<Native> native;
};

/// Plain sleep of the calling thread.
void Sleep(int milliseconds) noexcept;

} // namespace platform
