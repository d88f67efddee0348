#pragma once
// CPeakMeter's model: the two-channel peak meter of the main tool bar. The
// audio callback feeds it the largest squared sample of each channel once
// per block; a user-interface timer lets held peaks fall. Levels are in this
// program's decibels, 10 x log10 of the value given, so squared samples read
// as 20 x log10 of the peak amplitude.

#include <cstdint>

#include "framework/Mutex.h"

class CPeakMeter {
public:
    static constexpr double kFloorDb = -90.0;
    static constexpr double kDecayDbPerSecond = 48.0;
    static constexpr int kHoldMilliseconds = 1000;

    /// Audio side, once per block: squared peaks of left and right.
    void Feed(double leftSquared, double rightSquared);
    /// User-interface side: hold for a second, then fall at 48 per second,
    /// measured against the millisecond tick count now.
    void Decay(std::uint32_t now);

    /// Segments per channel for a meter width (one every 3 pixels from x = 2).
    static int SegmentCount(int width) { return width >= 4 ? (width - 4) / 3 : 0; }
    /// Lower bound of segment k (1 .. n): ranges are (f + 3(k-1), f + 3k]
    /// with f = -3 (n - 4), so the top four reach +12.
    static double SegmentLowerBound(int k, int n) { return -3.0 * (n - 4) + 3.0 * (k - 1); }
    /// Whether segment k of channel (0 left, 1 right) is lit: the level
    /// exceeds its lower bound, or the held peak lies inside its range.
    bool IsSegmentLit(int channel, int k, int n);

    double Level(int channel);
    double Peak(int channel);

private:
    struct Channel {
        double peakDb = kFloorDb;
        double levelDb = kFloorDb;
        std::uint32_t holdStart = 0;   // 0: not running
    };
    void FeedChannel(Channel& channel, double squared);
    void DecayChannel(Channel& channel, std::uint32_t now);
    /// A copy of one of the channels' values, taken under the lock.
    double LockedRead(const double& value);

    CMutex lock;
    Channel channels[2];
};
