#include "host/WorkThread.h"

#include "platform/Thread.h"

CWorkThread::CWorkThread()
{
    SetPriority(platform::kPriorityAboveNormal);
}

CWorkThread::~CWorkThread()
{
    Stop();
}

void CWorkThread::Body()
{
    platform::Thread::AlertableSleep(50);
}
