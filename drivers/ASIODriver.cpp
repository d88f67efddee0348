#include "drivers/ASIODriver.h"

#include <cstdio>
#include <cstring>

#include "drivers/DeviceLoss.h"
#include "drivers/DriverMessages.h"
#include "drivers/SampleConversion.h"
#include "framework/AudioBuffer.h"
#include "framework/Error.h"
#include "framework/ScopedLock.h"
#include "host/AppOptions.h"

using namespace platform::audio;

std::atomic<CASIODriver*> CASIODriver::currentDriver{nullptr};

namespace {

constexpr int kRates[5] = {11025, 22050, 44100, 48000, 96000};
// Without any driver, and for one that failed to load, the host still needs
// a block size it can run at.
constexpr std::int32_t kFallbackBufferSize = 512;

} // namespace

std::int32_t CASIODriver::ChooseRateFlag(std::int32_t want, std::int32_t supported)
{
    // A stored choice of several rates keeps the lowest one the driver has,
    // so that the rate reported before Start is the one Start will set.
    if (const std::int32_t shared = want & supported)
        return shared & -shared;
    for (const std::int32_t bit : {16, 8, 4, 2}) {
        if (supported & bit)
            return bit;
    }
    return 0;
}

int CASIODriver::RateOfFlag(std::int32_t flag)
{
    for (int k = 0; k < 5; ++k) {
        if (flag & (1 << k))
            return kRates[k];
    }
    return 0;
}

std::string CASIODriver::DescribeRate(std::int32_t flag, int currentRate)
{
    const int rate = flag != 0 ? RateOfFlag(flag) : currentRate;
    char text[32];
    std::snprintf(text, sizeof text, "%0.1fkHz", rate / 1000.0);
    return text;
}

void CASIODriver::ConvertChannel(const double* in, void* out, int frames, std::int32_t sampleType) noexcept
{
    switch (sampleType) {
    case kAsioInt16LSB: {
        auto* samples = static_cast<std::int16_t*>(out);
        for (int s = 0; s < frames; ++s)
            samples[s] = sample_conversion::ToInt16(in[s]);
        break;
    }
    case kAsioInt32LSB: {
        auto* samples = static_cast<std::int32_t*>(out);
        for (int s = 0; s < frames; ++s)
            samples[s] = sample_conversion::ToInt32(in[s]);
        break;
    }
    case kAsioFloat32LSB: {
        auto* samples = static_cast<float*>(out);
        for (int s = 0; s < frames; ++s)
            samples[s] = sample_conversion::ToFloat32(in[s]);
        break;
    }
    default:
        break;
    }
}

CASIODriver::CASIODriver(CAppOptions& options) : callback(SilenceCallback()), options(options)
{
    callbacks.bufferSwitch = &BufferSwitch;
    callbacks.sampleRateDidChange = &SampleRateDidChange;
    callbacks.asioMessage = &AsioMessage;
    callbacks.bufferSwitchTimeInfo = &BufferSwitchTimeInfo;
    asio.SetLostHandler(&DriverLost, this);

    driverList = ListAsioDrivers();
    for (const AsioDriverEntry& entry : driverList) {
        DriverRecord record;
        record.name = entry.name;
        if (asio.Load(entry) && asio.Init()) {
            asio.GetBufferSize(&record.minBufferSize, &record.maxBufferSize, &record.preferredBufferSize,
                               &record.granularity);
            if (record.preferredBufferSize == 0)
                record.preferredBufferSize = record.maxBufferSize;
            std::int32_t inputs = 0;
            asio.GetChannels(&inputs, &record.outputCount);
            for (int k = 0; k < 5; ++k) {
                if (asio.CanSampleRate(kRates[k]) == kAsioOk)
                    record.rateFlags |= 1 << k;
            }
            double current = 0.0;
            if (asio.GetSampleRate(&current) == kAsioOk)
                record.currentSampleRate = static_cast<std::int32_t>(current);
        }
        // Probing only: the server is joined again when playing starts.
        asio.Unload();
        drivers.push_back(record);
    }

    if (!drivers.empty()) {
        selected = 0;
        const DriverRecord& first = drivers.front();
        rateFlag = ChooseRateFlag(options.asioRateFlags, first.rateFlags);
        sampleRate = rateFlag != 0 ? RateOfFlag(rateFlag) : first.currentSampleRate;
        if (sampleRate <= 0)
            sampleRate = 44100;
        bitsPerSample = 16;
        configuredBufferSize =
            first.preferredBufferSize > 0 ? first.preferredBufferSize : kFallbackBufferSize;
        bufferSize = configuredBufferSize;
    } else {
        selected = -1;
        sampleRate = 44100;
        bitsPerSample = 16;
        rateFlag = 4;
        bufferSize = configuredBufferSize = kFallbackBufferSize;
    }
}

CASIODriver::~CASIODriver()
{
    running = false;
    CASIODriver* self = this;
    currentDriver.compare_exchange_strong(self, nullptr);
    asio.Unload();
    FreeChannels();
}

void CASIODriver::SetCallback(AudioCallback newCallback)
{
    callback = newCallback.function != nullptr ? newCallback : SilenceCallback();
}

void CASIODriver::FreeChannels()
{
    for (double* channel : channelBuffers)
        FreeChannel(channel);
    channelBuffers.clear();
    bufferInfos.clear();
    deviceBuffers.clear();
    channelInfos.clear();
}

void CASIODriver::Start()
{
    Lock();
    const int n = GetChannelCount();
    if (selected < 0 || running.load() || n <= 0) {
        Unlock();
        return;
    }
    const DriverRecord& record = drivers[static_cast<std::size_t>(selected)];

    currentDriver = this;
    lostDevice = false;
    // Joined afresh each time: the server may have been restarted since.
    if (!asio.Load(driverList[static_cast<std::size_t>(selected)]) || !asio.Init()) {
        currentDriver = nullptr;
        Unlock();
        throw CError("ASIO: Can't Load Driver <%s>", record.name.c_str());
    }

    FreeChannels();
    bufferInfos.resize(static_cast<std::size_t>(n));
    channelInfos.resize(static_cast<std::size_t>(n));
    deviceBuffers.assign(static_cast<std::size_t>(n), nullptr);
    for (int i = 0; i < n; ++i) {
        bufferInfos[static_cast<std::size_t>(i)].isInput = false;
        bufferInfos[static_cast<std::size_t>(i)].channelNum = i;
        channelBuffers.push_back(AllocateChannel(bufferSize));
        AsioChannelInfo& info = channelInfos[static_cast<std::size_t>(i)];
        info.channel = i;
        info.isInput = false;
        asio.GetChannelInfo(&info);
    }

    if (record.rateFlags != 0) {
        rateFlag = ChooseRateFlag(options.asioRateFlags, record.rateFlags);
        sampleRate = RateOfFlag(rateFlag);
        if (asio.SetSampleRate(sampleRate) != kAsioOk) {
            double current = 0.0;
            if (asio.GetSampleRate(&current) == kAsioOk)
                sampleRate = static_cast<std::int32_t>(current);
        }
    }

    AsioError result = asio.CreateBuffers(bufferInfos.data(), n, bufferSize, &callbacks);
    const char* failedCall = "ASIOCreateBuffers()";
    if (result == kAsioOk) {
        asio.OutputReady();
        result = asio.Start();
        failedCall = "ASIOStart()";
    }
    if (result != kAsioOk) {
        currentDriver = nullptr;
        asio.Unload();
        FreeChannels();
        Unlock();
        throw CError("%s Returned 0x%x", failedCall, static_cast<unsigned>(result));
    }
    // A server that went away during the start has already been reported.
    running = !asio.IsLost();
    Unlock();
}

void CASIODriver::Stop()
{
    CScopedLock<CHostMutex> hold(*this);
    if (running.exchange(false)) {
        char text[64];
        const AsioError stopped = asio.Stop();
        if (stopped != kAsioOk) {
            std::snprintf(text, sizeof text, "ASIOStop() Returned 0x%x", static_cast<unsigned>(stopped));
            ShowDriverMessage(text);
        }
        const AsioError disposed = asio.DisposeBuffers();
        if (disposed != kAsioOk) {
            std::snprintf(text, sizeof text, "ASIODisposeBuffers() Returned 0x%x", static_cast<unsigned>(disposed));
            ShowDriverMessage(text);
        }
    }
    CASIODriver* self = this;
    currentDriver.compare_exchange_strong(self, nullptr);
    // Also the way out after the server went away: closing the dead client
    // frees it, and nothing of it is touched again.
    asio.Unload();
    FreeChannels();
}

void CASIODriver::BufferSwitch(std::int32_t index, bool)
{
    if (CASIODriver* driver = currentDriver.load(std::memory_order_acquire))
        driver->Render(index);
}

void CASIODriver::Render(std::int32_t index) noexcept
{
    const std::size_t n = bufferInfos.size();
    for (std::size_t i = 0; i < n; ++i)
        deviceBuffers[i] = bufferInfos[i].buffers[index];
    callback(static_cast<int>(n), channelBuffers.data(), bufferSize);
    for (std::size_t i = 0; i < n; ++i)
        ConvertChannel(channelBuffers[i], deviceBuffers[i], bufferSize, channelInfos[i].type);
    asio.OutputReady();
}

void CASIODriver::SampleRateDidChange(double) {}

std::int32_t CASIODriver::AsioMessage(std::int32_t, std::int32_t, void*, double*)
{
    return 0;
}

void* CASIODriver::BufferSwitchTimeInfo(void*, std::int32_t, bool)
{
    return nullptr;
}

void CASIODriver::DriverLost(void* context, const char* reason)
{
    // On the layer's watcher thread. No lock: Stop holds the driver's lock
    // while it waits for this thread to end.
    auto* self = static_cast<CASIODriver*>(context);
    self->running = false;
    CASIODriver* expected = self;
    currentDriver.compare_exchange_strong(expected, nullptr);
    if (!self->lostDevice.exchange(true)) {
        char text[320];
        std::snprintf(text, sizeof text, "ASIO: Device Lost <%s>", reason);
        ReportDeviceLost(self->GetName(), text);
    }
}
