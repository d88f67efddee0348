#include "host/PeakMeter.h"

#include <cmath>

#include "framework/ScopedLock.h"

void CPeakMeter::FeedChannel(Channel& channel, double squared)
{
    const double levelDb = 10.0 * std::log10(std::fabs(squared));
    if (levelDb > channel.peakDb) {
        channel.peakDb = levelDb;
        channel.holdStart = 0;
    }
    channel.levelDb = levelDb;
}

double CPeakMeter::LockedRead(const double& value)
{
    CScopedLock<CMutex> hold(lock);
    return value;
}

void CPeakMeter::Feed(double leftSquared, double rightSquared)
{
    CScopedLock<CMutex> hold(lock);
    FeedChannel(channels[0], leftSquared);
    FeedChannel(channels[1], rightSquared);
}

void CPeakMeter::DecayChannel(Channel& channel, std::uint32_t now)
{
    if (channel.holdStart == 0 || channel.holdStart > now) {
        channel.holdStart = now;
    } else {
        const double elapsedSeconds = (now - channel.holdStart) * 0.001;
        if (elapsedSeconds > 1.0) {
            channel.holdStart = now - kHoldMilliseconds;
            channel.peakDb -= kDecayDbPerSecond * (elapsedSeconds - 1.0);
        }
    }
    if (channel.peakDb < kFloorDb)
        channel.peakDb = kFloorDb;
}

void CPeakMeter::Decay(std::uint32_t now)
{
    CScopedLock<CMutex> hold(lock);
    DecayChannel(channels[0], now);
    DecayChannel(channels[1], now);
}

bool CPeakMeter::IsSegmentLit(int channel, int k, int n)
{
    if (channel < 0 || channel > 1 || k < 1 || k > n)
        return false;
    const double lower = SegmentLowerBound(k, n);
    const double upper = lower + 3.0;
    CScopedLock<CMutex> hold(lock);
    const Channel& c = channels[channel];
    return c.levelDb > lower || (c.peakDb > lower && c.peakDb <= upper);
}

double CPeakMeter::Level(int channel)
{
    const double value = LockedRead(channels[channel & 1].levelDb);
    // Silence reads as the floor, not as minus infinity.
    return value < kFloorDb ? kFloorDb : value;
}

double CPeakMeter::Peak(int channel)
{
    return LockedRead(channels[channel & 1].peakDb);
}
