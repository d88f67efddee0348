#include "drivers/OfflineDriver.h"

#include "framework/AudioBuffer.h"

COfflineDriver::COfflineDriver(int sampleRate, int bufferSize, int channels)
    : sampleRate(sampleRate), bufferSize(bufferSize), channels(channels), callback(SilenceCallback())
{
    for (int c = 0; c < channels; ++c)
        buffers.push_back(AllocateChannel(bufferSize));
}

COfflineDriver::~COfflineDriver()
{
    for (double* buffer : buffers)
        FreeChannel(buffer);
}

void COfflineDriver::Render(int blocks, const BlockSink& sink)
{
    if (!started)
        return;
    for (int b = 0; b < blocks; ++b) {
        callback(channels, buffers.data(), bufferSize);
        if (sink)
            sink(channels, buffers.data(), bufferSize);
    }
}
