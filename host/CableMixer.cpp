#include "host/CableMixer.h"

void MixCable(CAudioBuffer& destination, const CAudioBuffer& source, CConnection& connection) noexcept
{
    const int frames = destination.length < source.length ? destination.length : source.length;
    if (frames <= 0 || destination.left == nullptr || source.left == nullptr)
        return;
    const double volume = connection.volume;
    double gain = connection.gain;
    double* outLeft = destination.left;
    const double* inLeft = source.left;
    const bool toStereo = destination.stereo && destination.right != nullptr;
    const bool fromStereo = source.stereo && source.right != nullptr;

    if (gain == volume && toStereo && fromStereo) {
        // A settled cable (the usual case): the glide would return the gain
        // unchanged every sample, so the loop is a plain, vectorized one.
        double* outRight = destination.right;
        const double* inRight = source.right;
        for (int s = 0; s < frames; ++s) {
            outLeft[s] += inLeft[s] * gain;
            outRight[s] += inRight[s] * gain;
        }
        return;
    }
    if (toStereo && fromStereo) {
        double* outRight = destination.right;
        const double* inRight = source.right;
        for (int s = 0; s < frames; ++s) {
            gain = GlideToward(gain, volume);
            outLeft[s] += inLeft[s] * gain;
            outRight[s] += inRight[s] * gain;
        }
    } else if (toStereo) {
        double* outRight = destination.right;
        for (int s = 0; s < frames; ++s) {
            gain = GlideToward(gain, volume);
            outLeft[s] += inLeft[s] * gain;
            outRight[s] += inLeft[s] * gain;
        }
    } else if (fromStereo) {
        const double* inRight = source.right;
        for (int s = 0; s < frames; ++s) {
            gain = GlideToward(gain, volume);
            outLeft[s] += (inLeft[s] + inRight[s]) * 0.5 * gain;
        }
    } else {
        for (int s = 0; s < frames; ++s) {
            gain = GlideToward(gain, volume);
            outLeft[s] += inLeft[s] * gain;
        }
    }
    connection.gain = gain;
}
