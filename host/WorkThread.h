#pragma once
// CWorkThread: a machine's worker. It sleeps in 50 ms waits during which the
// processing requests queued to it run, one after the other.

#include <atomic>

#include "framework/Thread.h"

class CWorkThread : public CThread {
public:
    /// Created suspended at above-normal priority; the container resumes it.
    CWorkThread();
    ~CWorkThread() override;
    void Body() override;
    /// Stops without waiting out the current 50 ms sleep: the sleep is
    /// woken and the loop ends at its next turn.
    void Shutdown();

private:
    std::atomic<bool> stopping{false};
};
