#include "drivers/NullDriver.h"

#include "framework/AudioBuffer.h"
#include "framework/ScopedLock.h"
#include "host/AppOptions.h"
#include "platform/Clock.h"
#include "platform/Thread.h"

int CNullDriver::CorrectBufferSize(int stored)
{
    if (stored <= 511)
        return kDefaultBufferSize;
    if (stored <= kLargestBufferSize)
        return stored / kBufferStep * kBufferStep;
    return kLargestBufferSize;
}

CNullDriver::CNullDriver(CAppOptions& options) : callback(SilenceCallback()), options(options)
{
    configuredBufferSize = options.outputDriver == 0 ? CorrectBufferSize(options.nullBufferSize) : kDefaultBufferSize;
    options.nullBufferSize = configuredBufferSize;
    formatFlag = options.nullFormat;
    Decode();
    bufferSize = configuredBufferSize;
}

CNullDriver::~CNullDriver()
{
    CThread::Stop();
    FreeBuffers();
}

void CNullDriver::Decode()
{
    const AudioFormat format = DecodeFormatFlag(formatFlag);
    sampleRate = format.sampleRate;
    bitsPerSample = format.bitsPerSample;
    stereo = format.stereo;
}

void CNullDriver::FreeBuffers()
{
    FreeChannel(buffers[0]);
    FreeChannel(buffers[1]);
    buffers[0] = buffers[1] = nullptr;
}

void CNullDriver::SetCallback(AudioCallback newCallback)
{
    CScopedLock<CHostMutex> hold(*this);
    callback = newCallback.function != nullptr ? newCallback : SilenceCallback();
}

void CNullDriver::Configure(int newBufferSize, std::int32_t newFormatFlag)
{
    // The thread reads configuredBufferSize for its pacing under this lock.
    CScopedLock<CHostMutex> hold(*this);
    configuredBufferSize = CorrectBufferSize(newBufferSize);
    options.nullBufferSize = configuredBufferSize;
    if (IsValidFormatFlag(newFormatFlag)) {
        formatFlag = newFormatFlag;
        options.nullFormat = newFormatFlag;
    }
}

void CNullDriver::Start()
{
    Lock();
    FreeBuffers();
    buffers[0] = AllocateChannel(bufferSize);
    buffers[1] = AllocateChannel(bufferSize);
    running = true;
    periodStart = platform::GetTickCount();
    Unlock();
    Resume();
}

void CNullDriver::Stop()
{
    Lock();
    running = false;
    try {
        Decode();
    } catch (...) {
        Unlock();
        throw;
    }
    bufferSize = configuredBufferSize;
    Unlock();
}

void CNullDriver::ThreadBody()
{
    if (!running) {
        platform::Sleep(100);
        return;
    }
    const std::uint32_t period = static_cast<std::uint32_t>(configuredBufferSize) * 1000u /
                                 static_cast<std::uint32_t>(sampleRate);
    periodStart = platform::GetTickCount();
    callback(GetChannelCount(), buffers, bufferSize);
    const std::uint32_t elapsed = platform::GetTickCount() - periodStart;
    if (period >= elapsed)
        platform::Sleep(static_cast<int>(period - elapsed));
}
