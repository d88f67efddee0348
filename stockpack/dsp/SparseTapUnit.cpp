#include "stockpack/dsp/SparseTapUnit.h"

#include <algorithm>
#include <utility>

void CSparseTapUnit::SetLength(int length, int preDelay)
{
    impulseLength = std::max(length, 1);
    preDelaySamples = std::max(preDelay, 0);
    // One more than the longest read so that the tap at the far end and
    // the pre-delay read never meet the sample just written.
    line.assign(static_cast<std::size_t>(std::max(impulseLength, preDelaySamples + 1)), 0.0);
    position = 0;
    for (auto& output : sets) {
        for (auto& set : output)
            set.assign(static_cast<std::size_t>(impulseLength), Tap{0, 0.0});
    }
    for (auto& output : counts)
        output[kNew] = output[kOld] = 0;
    weight = 1.0;
    weightStep = 0.0;
    fadeLeft = fadeLength = 0;
}

void CSparseTapUnit::SetTaps(const double* impulseLeft, const double* impulseRight, int fadeSamples) noexcept
{
    if (fadeSamples <= 0) {
        // At once: no fade, no outgoing set.
        fadeLength = fadeLeft = 0;
        weight = 1.0;
        counts[0][kOld] = counts[1][kOld] = 0;
    }
    const bool startFade = fadeLength == 0 && fadeSamples > 0;
    const double* impulses[2] = {impulseLeft, impulseRight};
    for (int o = 0; o < 2; ++o) {
        if (startFade) {
            // The current set becomes the outgoing one; swapping vectors of
            // equal size moves no memory.
            std::swap(sets[o][kNew], sets[o][kOld]);
            counts[o][kOld] = counts[o][kNew];
        }
        int count = 0;
        for (int k = 0; k < impulseLength; ++k) {
            if (impulses[o][k] != 0.0)
                sets[o][kNew][static_cast<std::size_t>(count++)] = Tap{k, impulses[o][k]};
        }
        counts[o][kNew] = count;
    }
    if (startFade) {
        fadeLength = fadeSamples;
        fadeLeft = fadeLength;
        weight = 0.0;
        weightStep = 1.0 / fadeLength;
    }
}

double CSparseTapUnit::Sum(const std::vector<Tap>& taps, int count) const noexcept
{
    const int size = static_cast<int>(line.size());
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        int at = position - taps[static_cast<std::size_t>(i)].index;
        if (at < 0)
            at += size;
        sum += taps[static_cast<std::size_t>(i)].value * line[static_cast<std::size_t>(at)];
    }
    return sum;
}

void CSparseTapUnit::Process(double x, double& outLeft, double& outRight, double& preDelayed) noexcept
{
    const int size = static_cast<int>(line.size());
    line[static_cast<std::size_t>(position)] = x;
    outLeft = Sum(sets[0][kNew], counts[0][kNew]);
    outRight = Sum(sets[1][kNew], counts[1][kNew]);
    if (fadeLength > 0) {
        const double oldLeft = Sum(sets[0][kOld], counts[0][kOld]);
        const double oldRight = Sum(sets[1][kOld], counts[1][kOld]);
        outLeft = outLeft * weight + oldLeft * (1.0 - weight);
        outRight = outRight * weight + oldRight * (1.0 - weight);
        weight += weightStep;
        if (--fadeLeft == 0) {
            fadeLength = 0;
            weight = 1.0;
            counts[0][kOld] = counts[1][kOld] = 0;
        }
    }
    int at = position - preDelaySamples;
    if (at < 0)
        at += size;
    preDelayed = line[static_cast<std::size_t>(at)];
    if (++position == size)
        position = 0;
}
