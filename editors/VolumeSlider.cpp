#include "editors/VolumeSlider.h"

#include <cmath>
#include <cstdio>

double CVolumeSlider::LevelDbForPosition(double position)
{
    return kTopDb - (1.0 - position) * kRangeDb;
}

double CVolumeSlider::GainForPosition(double position)
{
    return std::pow(10.0, LevelDbForPosition(position) / 10.0);
}

double CVolumeSlider::PositionForGain(double gain)
{
    if (!(gain > 0.0))
        return 0.0;
    const double position = 1.0 + (10.0 * std::log10(gain) - kTopDb) / kRangeDb;
    return position < 0.0 ? 0.0 : (position > 1.0 ? 1.0 : position);
}

std::string CVolumeSlider::FormatLabel(double position)
{
    // Rounded to what is shown first, so that unity gain, a hair below 0
    // in floating point, reads "0.00dB" rather than "-0.00dB".
    double shown = std::round(LevelDbForPosition(position) * 100.0) / 100.0;
    if (shown == 0.0)
        shown = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.2fdB", shown);
    return text;
}

void CVolumeSlider::SetPosition(double x)
{
    // NaN would reach the audio callback as a NaN gain.
    position = x > 1.0 ? 1.0 : (x > 0.0 ? x : 0.0);
    if (target)
        target(GainForPosition(position));
}
