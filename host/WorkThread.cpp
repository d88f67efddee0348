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
    if (!stopping.load(std::memory_order_acquire))
        platform::Thread::AlertableSleep(50);
}

void CWorkThread::Shutdown()
{
    stopping.store(true, std::memory_order_release);
    GetHandle()->QueueProcedure(&WakeOnly, 0);
    Stop();
}
