#pragma once
// CGraphicsThread: the display thread. About every 10 ms it lets the peak
// meter's held peaks fall, refreshes what the editors show while playing and
// runs every machine's Idle.

#include <functional>

#include "framework/Thread.h"

class CPeakMeter;
class CStudio;

class CGraphicsThread : public CThread {
public:
    static constexpr int kPeriodMilliseconds = 10;

    /// Created suspended at below-normal priority.
    CGraphicsThread(CStudio& studio, CPeakMeter* meter);
    ~CGraphicsThread() override;

    /// Extra refreshes (play cursors, recorder panel) the editors add.
    void SetRefresh(std::function<void()> refresh) { extraRefresh = std::move(refresh); }
    void Body() override;

private:
    CStudio& studio;
    CPeakMeter* meter;
    std::function<void()> extraRefresh;
};
