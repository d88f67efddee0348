#include "drivers/AudioOutputDriver.h"

#include <cstring>

#include "framework/Error.h"

namespace {

constexpr int kRates[5] = {11025, 22050, 44100, 48000, 96000};
constexpr std::int32_t kFormatBits = 0xFFFFF;

void WriteSilence(void*, int channels, double** buffers, int length)
{
    for (int c = 0; c < channels; ++c)
        std::memset(buffers[c], 0, sizeof(double) * static_cast<std::size_t>(length));
}

} // namespace

AudioCallback SilenceCallback()
{
    return AudioCallback{&WriteSilence, nullptr};
}

bool IsValidFormatFlag(std::int32_t flag)
{
    return (flag & kFormatBits) != 0;
}

AudioFormat DecodeFormatFlag(std::int32_t flag)
{
    if (!IsValidFormatFlag(flag))
        throw CError("Invalid Format");
    for (int nibble = 0; nibble < 5; ++nibble) {
        const int value = (flag >> (4 * nibble)) & 0xF;
        if (value == 0)
            continue;
        AudioFormat format;
        format.sampleRate = kRates[nibble];
        format.bitsPerSample = value < 4 ? 8 : 16;
        format.stereo = value == 2 || value == 8;
        return format;
    }
    throw CError("Invalid Format");
}

std::int32_t FormatFlagFor(int sampleRate, int bitsPerSample, bool stereo)
{
    for (int nibble = 0; nibble < 5; ++nibble) {
        if (kRates[nibble] != sampleRate)
            continue;
        const int bit = bitsPerSample <= 8 ? (stereo ? 2 : 1) : (stereo ? 8 : 4);
        return bit << (4 * nibble);
    }
    return 0;
}
