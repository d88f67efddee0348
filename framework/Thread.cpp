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
    Lock();
    running = false;
    Unlock();
    thread->Join();
}
