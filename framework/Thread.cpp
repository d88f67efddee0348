#include "framework/Thread.h"

#include <cstdio>

#include "framework/Error.h"
#include "platform/Thread.h"

namespace {

void ThreadEntry(void* argument)
{
    auto* self = static_cast<CThread*>(argument);
    try {
        self->ThreadLoop();
    } catch (const CError& error) {
        // Nothing above a thread can catch this; say why it ended.
        std::fprintf(stderr, "Corvane: thread ended: %s\n", error.what());
    }
}

// Queued to the thread by Stop: clears its running flag from inside its
// own wait.
void LeaveLoop(std::uintptr_t runningFlag)
{
    *reinterpret_cast<bool*>(runningFlag) = false;
}

} // namespace

CThread::CThread() : running(false), thread(new platform::Thread(&ThreadEntry, this)) {}

CThread::~CThread()
{
    Stop();
    delete thread;
}

void CThread::ThreadLoop()
{
    Lock();
    while (running) {
        Body();
        Unlock();
        Lock();
    }
    Unlock();
}

void CThread::Resume()
{
    if (thread->IsStarted())
        return;
    running = true;
    thread->Resume();
}

void CThread::SetPriority(int priority)
{
    thread->SetPriority(priority);
}

void CThread::Stop()
{
    if (!running)
        return;
    // A thread that waits alertably between steps (a worker sleeps 50 ms)
    // would hold its lock for the rest of that wait; the request ends the
    // wait at once and the loop with it. Other threads never run it, and
    // the lock below stops them as before.
    thread->QueueProcedure(&LeaveLoop, reinterpret_cast<std::uintptr_t>(&running));
    Lock();
    running = false;
    Unlock();
    thread->Join();
}
