#include "host/CableVolume.h"

#include <algorithm>
#include <cmath>

double CableGainFromPosition(double position)
{
    return std::pow(10.0, (position - 1.0) * kCableRangeDb / 10.0);
}

double CablePositionFromGain(double gain)
{
    if (!(gain > 0.0))
        return 0.0;
    const double attenuationDb = std::clamp(-10.0 * std::log10(gain), 0.0, kCableRangeDb);
    return 1.0 - attenuationDb / kCableRangeDb;
}
