#include "host/WorkThread.h"

#include "platform/Thread.h"

CWorkThread::CWorkThread()
{
    SetPriority(platform::kPriorityAboveNormal);
}

namespace {
void WakeOnly(std::uintptr_t) {}
} // namespace

CWorkThread::~CWorkThread()
{
    Shutdown();
}

void CWorkThread::Body()
{
    // While stopping, a short alertable wait instead of none: a loop that
    // only unlocked and relocked would starve Stop of the lock (the mutex
    // is not fair), and the request Stop queues ends this wait at once.
    platform::Thread::AlertableSleep(stopping.load(std::memory_order_acquire) ? 1 : 50);
}

void CWorkThread::Shutdown()
{
    stopping.store(true, std::memory_order_release);
    GetHandle()->QueueProcedure(&WakeOnly, 0);
    Stop();
}
