#include "app/GraphicsThread.h"

#include "host/PeakMeter.h"
#include "host/Studio.h"
#include "platform/Clock.h"
#include "platform/Thread.h"

CGraphicsThread::CGraphicsThread(CStudio& studio, CPeakMeter* meter) : studio(studio), meter(meter)
{
    SetPriority(platform::kPriorityBelowNormal);
}

CGraphicsThread::~CGraphicsThread()
{
    Stop();
}

void CGraphicsThread::Body()
{
    if (meter != nullptr)
        meter->Decay(platform::GetTickCount());
    if (extraRefresh)
        extraRefresh();
    studio.IdlePass();
    platform::Sleep(kPeriodMilliseconds);
}
