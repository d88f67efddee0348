#include "host/PeakMeter.h"

#include <cmath>

void CPeakMeter::FeedChannel(Channel& channel, double squared)
{
    const double levelDb = 10.0 * std::log10(std::fabs(squared));
    if (levelDb > channel.peakDb) {
        channel.peakDb = levelDb;
        channel.holdStart = 0;
    }
    channel.levelDb = levelDb;
}

void CPeakMeter::Feed(double leftSquared, double rightSquared)
{
    lock.Lock();
    FeedChannel(channels[0], leftSquared);
    FeedChannel(channels[1], rightSquared);
    lock.Unlock();
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
    lock.Lock();
    DecayChannel(channels[0], now);
    DecayChannel(channels[1], now);
    lock.Unlock();
}

bool CPeakMeter::IsSegmentLit(int channel, int k, int n)
{
    if (channel < 0 || channel > 1 || k < 1 || k > n)
        return false;
    const double lower = SegmentLowerBound(k, n);
    const double upper = lower + 3.0;
    lock.Lock();
    const Channel& c = channels[channel];
    const bool lit = c.levelDb > lower || (c.peakDb > lower && c.peakDb <= upper);
    lock.Unlock();
    return lit;
}

double CPeakMeter::Level(int channel)
{
    lock.Lock();
    const double value = channels[channel & 1].levelDb;
    lock.Unlock();
    // Silence reads as the floor, not as minus infinity.
    return value < kFloorDb ? kFloorDb : value;
}

double CPeakMeter::Peak(int channel)
{
    lock.Lock();
    const double value = channels[channel & 1].peakDb;
    lock.Unlock();
    return value;
}
