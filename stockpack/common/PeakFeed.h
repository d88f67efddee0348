#pragma once
// CPeakFeed: how a machine hands its meter a channel pair's peaks. The
// feeding side (the display thread's Idle, or the audio side) raises the
// held peaks; the editor takes them on its display refresh and they start
// again from zero. Both sides are a few atomic operations: nobody waits.

#include <atomic>

class CPeakFeed {
public:
    /// Keeps the larger of the held and the given peaks. Any thread.
    void Feed(double left, double right) noexcept
    {
        Raise(peaks[0], left);
        Raise(peaks[1], right);
    }

    /// The peaks fed since the last Take; holds zero afterwards.
    void Take(double& left, double& right) noexcept
    {
        left = peaks[0].exchange(0.0, std::memory_order_acq_rel);
        right = peaks[1].exchange(0.0, std::memory_order_acq_rel);
    }

private:
    static void Raise(std::atomic<double>& held, double value) noexcept
    {
        double current = held.load(std::memory_order_relaxed);
        while (value > current && !held.compare_exchange_weak(current, value, std::memory_order_acq_rel))
        {
        }
    }

    std::atomic<double> peaks[2] = {0.0, 0.0};
};
