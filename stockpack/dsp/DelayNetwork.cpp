#include "stockpack/dsp/DelayNetwork.h"

#include <cmath>
#include <numbers>

#include "framework/Glide.h"

void CDelayNetwork::SetSampleRate(int rate)
{
    if (rate > 0)
        sampleRate = rate;
    Clear();
}

void CDelayNetwork::Clear() noexcept
{
    for (Line& line : lines) {
        line.samples.fill(0.0);
        line.position = 0;
        line.x1 = line.x2 = line.y1 = line.y2 = 0.0;
    }
}

void CDelayNetwork::JumpToTargets() noexcept
{
    feedback = feedbackTarget;
    gain = gainTarget;
}

void CDelayNetwork::SetCutoff(double cutoffHz) noexcept
{
    const double k = 1.0 / std::tan(std::numbers::pi * cutoffHz / sampleRate);
    const double root2 = std::numbers::sqrt2;
    b0 = 1.0 / (1.0 + root2 * k + k * k);
    b1 = 2.0 * b0;
    b2 = b0;
    a1 = 2.0 * b0 * (1.0 - k * k);
    a2 = b0 * (1.0 - root2 * k + k * k);
}

void CDelayNetwork::Process(double feedLeft, double feedRight, double& outLeft, double& outRight) noexcept
{
    gain = GlideToward(gain, gainTarget);
    feedback = GlideToward(feedback, feedbackTarget);
    double y[kLines];
    for (int i = 0; i < kLines; ++i) {
        Line& line = lines[static_cast<std::size_t>(i)];
        // The slot about to be written holds the oldest sample.
        const double d = line.samples[static_cast<std::size_t>(line.position)];
        const double out = b0 * d + b1 * line.x1 + b2 * line.x2 - a1 * line.y1 - a2 * line.y2;
        line.x2 = line.x1;
        line.x1 = d;
        line.y2 = line.y1;
        line.y1 = out;
        y[i] = out;
    }
    outLeft = (y[0] + y[2]) * gain * 0.5;
    outRight = (y[1] + y[3]) * gain * 0.5;
    const double m = -0.5 * feedback * (y[0] + y[1] + y[2] + y[3]);
    const double feeds[kLines] = {feedLeft, feedRight, feedLeft, feedRight};
    for (int i = 0; i < kLines; ++i) {
        Line& line = lines[static_cast<std::size_t>(i)];
        line.samples[static_cast<std::size_t>(line.position)] = feedback * y[i] + feeds[i] + m;
        if (++line.position == kLengths[static_cast<std::size_t>(i)])
            line.position = 0;
    }
}
