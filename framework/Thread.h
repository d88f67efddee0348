#pragma once
// CThread: a worker thread with a stop flag, created suspended. Its own lock
// (the CHostMutex base) is held for the whole of each Body call and released
// between calls, so Stop, and anyone else who takes the lock, waits for the
// current Body to finish.
//
// A subclass must call Stop in its own destructor: once the subclass part is
// destroyed, Body can no longer be called.

#include "framework/HostMutex.h"
#include "framework/Packing.h"

namespace platform {
class Thread;
}

/// What queued procedures are addressed to (see platform::Thread).
using ThreadHandle = platform::Thread*;

CORVANE_PACK_BEGIN

class CThread : public CHostMutex {
public:
    CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    /// Runs Body until Stop; the thread ends when it returns.
    virtual void ThreadLoop();
    /// One step of the thread's work, called with the thread's lock held.
    virtual void Body() = 0;
    /// Stops the thread and frees it.
    virtual ~CThread();

    /// Starts the thread. A stopped thread is not restarted.
    void Resume();
    /// Windows-style levels (platform::ThreadPriority).
    void SetPriority(int priority);
    ThreadHandle GetHandle() const { return thread; }
    /// Waits for the current Body, clears the flag and joins the thread.
    /// Returns at once when the thread is not running.
    void Stop();
    bool IsRunning() const { return running; }

protected:
    bool running;
    platform::Thread* thread;
};

CORVANE_PACK_END
