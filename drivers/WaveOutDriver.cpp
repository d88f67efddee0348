#include "drivers/WaveOutDriver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "drivers/DeviceLoss.h"
#include "drivers/SampleConversion.h"
#include "framework/AudioBuffer.h"
#include "framework/Error.h"
#include "framework/ScopedLock.h"
#include "host/AppOptions.h"
#include "platform/audio/WaveOutDeviceList.h"

using platform::audio::WaveHeader;
using platform::audio::WaveOutMessage;

namespace {

constexpr int kRates[5] = {11025, 22050, 44100, 48000, 96000};
constexpr std::int32_t kDefaultFormat = 2048;   // 44.1 kHz, 16 bit, stereo

inline void Put16(unsigned char* out, double x) noexcept
{
    const auto bits = static_cast<std::uint16_t>(sample_conversion::ToInt16(x));
    out[0] = static_cast<unsigned char>(bits & 0xFF);   // little-endian whatever the processor
    out[1] = static_cast<unsigned char>(bits >> 8);
}

} // namespace

int CWaveOutDriver::CorrectBufferSize(int stored)
{
    if (stored < kSmallestBufferSize)
        return kDefaultBufferSize;
    if (stored <= kLargestBufferSize)
        return stored / kBufferStep * kBufferStep;
    return kLargestBufferSize;
}

std::int32_t CWaveOutDriver::SearchFormat(std::int32_t requested, std::int32_t caps)
{
    if ((requested & caps) != 0)
        return requested;
    const AudioFormat wanted = DecodeFormatFlag(requested);
    int start = 0;
    while (start < 4 && kRates[start] != wanted.sampleRate)
        ++start;
    // The layout at every rate, nearest first: upward from the requested
    // rate, then downward.
    const auto atAnyRate = [&](int bits, bool twoChannels) -> std::int32_t {
        for (int i = start; i < 5; ++i) {
            const std::int32_t bit = FormatFlagFor(kRates[i], bits, twoChannels);
            if ((bit & caps) != 0)
                return bit;
        }
        for (int i = start - 1; i >= 0; --i) {
            const std::int32_t bit = FormatFlagFor(kRates[i], bits, twoChannels);
            if ((bit & caps) != 0)
                return bit;
        }
        return 0;
    };
    struct Layout {
        int bits;
        bool stereo;
    };
    const Layout order[5] = {
        {wanted.bitsPerSample, wanted.stereo}, {16, true}, {16, false}, {8, true}, {8, false}};
    for (const Layout& layout : order) {
        if (const std::int32_t found = atAnyRate(layout.bits, layout.stereo))
            return found;
    }
    return 0;
}

std::string CWaveOutDriver::DescribeFormat(std::int32_t flag)
{
    const AudioFormat format = DecodeFormatFlag(flag);
    char text[64];
    std::snprintf(text, sizeof text, "%0.1fkHz, %ibit, %s", format.sampleRate / 1000.0, format.bitsPerSample,
                  format.stereo ? "Stereo" : "Mono");
    return text;
}

void CWaveOutDriver::ConvertBlock(const double* left, const double* right, int frames, int bits,
                                  unsigned char* out) noexcept
{
    if (bits == 16) {
        for (int s = 0; s < frames; ++s) {
            Put16(out, left[s]);
            out += 2;
            if (right != nullptr) {
                Put16(out, right[s]);
                out += 2;
            }
        }
        return;
    }
    for (int s = 0; s < frames; ++s) {
        *out++ = sample_conversion::ToUnsigned8(left[s]);
        if (right != nullptr)
            *out++ = sample_conversion::ToUnsigned8(right[s]);
    }
}

CWaveOutDriver::CWaveOutDriver(CAppOptions& options) : callback(SilenceCallback()), options(options)
{
    deviceCaps = platform::audio::ListWaveOutDevices();
    deviceCount = static_cast<std::int32_t>(deviceCaps.size());

    if (options.outputDriver == 1) {
        // A stored index outside the list (a device unplugged since, or a
        // damaged file) falls back to the first device.
        deviceIndex = options.waveOutDevice >= 0 && options.waveOutDevice < deviceCount ? options.waveOutDevice : 0;
        configuredBufferSize = CorrectBufferSize(options.waveOutBufferSize);
    } else {
        deviceIndex = 0;
        configuredBufferSize = kDefaultBufferSize;
    }
    options.waveOutBufferSize = configuredBufferSize;

    if (deviceCount == 0) {
        deviceIndex = -1;
    } else {
        formatFlag = FormatForDevice(options.waveOutFormat);
        Decode();
    }
    configuredDeviceIndex = deviceIndex;
    bufferSize = configuredBufferSize;
}

CWaveOutDriver::~CWaveOutDriver()
{
    running = false;
    ReleaseDevice();
}

std::int32_t CWaveOutDriver::FormatForDevice(std::int32_t requested) const
{
    // A stored flag without any format bit (a damaged file) asks for the
    // default instead of failing the start of the program.
    if (!IsValidFormatFlag(requested))
        requested = kDefaultFormat;
    return SearchFormat(requested, deviceCaps[static_cast<std::size_t>(deviceIndex)].formats);
}

void CWaveOutDriver::Decode()
{
    const AudioFormat format = DecodeFormatFlag(formatFlag);
    sampleRate = format.sampleRate;
    bitsPerSample = format.bitsPerSample;
    stereo = format.stereo;
}

void CWaveOutDriver::SetCallback(AudioCallback newCallback)
{
    CScopedLock<CHostMutex> hold(*this);
    callback = newCallback.function != nullptr ? newCallback : SilenceCallback();
}

void CWaveOutDriver::Configure(int newDeviceIndex, int newBufferSize, std::int32_t requestedFormat)
{
    if (newDeviceIndex >= 0 && newDeviceIndex < deviceCount) {
        configuredDeviceIndex = newDeviceIndex;
        options.waveOutDevice = newDeviceIndex;
    }
    configuredBufferSize = CorrectBufferSize(newBufferSize);
    options.waveOutBufferSize = configuredBufferSize;
    if (IsValidFormatFlag(requestedFormat))
        options.waveOutFormat = requestedFormat;
}

void CWaveOutDriver::Start()
{
    if (running.load())
        return;
    // A device lost while playing is still open; it goes before a new one.
    ReleaseDevice();
    Lock();
    lostDevice = false;
    int failure = 0;
    bool prepareFailed = false;
    if (deviceIndex < 0 || deviceIndex >= deviceCount) {
        failure = ENODEV;
    } else {
        const int channels = stereo ? 2 : 1;
        platform::audio::WaveFormat format;
        format.channels = channels;
        format.sampleRate = sampleRate;
        format.bitsPerSample = bitsPerSample;
        format.blockAlign = channels * bitsPerSample / 8;
        format.averageBytesPerSecond = sampleRate * format.blockAlign;
        failure = device.Open(deviceCaps[static_cast<std::size_t>(deviceIndex)].name.c_str(), format, &DeviceCallback,
                              this);
    }
    if (failure == 0) {
        const std::size_t bytes =
            static_cast<std::size_t>(BytesPerFrame(bitsPerSample, stereo)) * static_cast<std::size_t>(bufferSize);
        for (int k = 0; k < 2 && failure == 0; ++k) {
            deviceBuffers[k] = new unsigned char[bytes]();
            headers[k].data = deviceBuffers[k];
            headers[k].bufferLength = static_cast<std::uint32_t>(bytes);
            headers[k].flags = 0;
            headers[k].user = nullptr;
            failure = device.Prepare(headers[k]);
            prepareFailed = failure != 0;
            channelBuffers[k] = AllocateChannel(bufferSize);
        }
    }
    if (failure != 0) {
        // Released outside the lock: closing waits for the device's
        // notifier, which may be waiting for this lock.
        Unlock();
        ReleaseDevice();
        if (prepareFailed)
            throw CError("WaveOut: waveOutPrepareHeader Failed <Error Code: 0x%x>", static_cast<unsigned>(failure));
        throw CError("WaveOut: waveOutOpen Failed <Error Code 0x%x>", static_cast<unsigned>(failure));
    }
    Render(0);
    Render(1);
    running = true;
    Unlock();
}

void CWaveOutDriver::Stop()
{
    Lock();
    running = false;
    Unlock();
    ReleaseDevice();
    deviceIndex = configuredDeviceIndex;
    if (deviceIndex >= 0) {
        formatFlag = FormatForDevice(options.waveOutFormat);
        Decode();
    }
    bufferSize = configuredBufferSize;
}

void CWaveOutDriver::ReleaseDevice()
{
    if (device.IsOpen()) {
        device.Reset();
        device.Unprepare(headers[0]);
        device.Unprepare(headers[1]);
        device.Close();
    }
    for (int k = 0; k < 2; ++k) {
        delete[] deviceBuffers[k];
        deviceBuffers[k] = nullptr;
        headers[k].data = nullptr;
        headers[k].bufferLength = 0;
        FreeChannel(channelBuffers[k]);
        channelBuffers[k] = nullptr;
    }
}

void CWaveOutDriver::Render(int k)
{
    callback(stereo ? 2 : 1, channelBuffers, bufferSize);
    ConvertBlock(channelBuffers[0], stereo ? channelBuffers[1] : nullptr, bufferSize, bitsPerSample,
                 deviceBuffers[k]);
    // Refused only once the device is lost, which the device reports itself.
    device.Write(headers[k]);
}

void CWaveOutDriver::DeviceCallback(void* instance, WaveOutMessage message, WaveHeader* header, int error)
{
    auto* self = static_cast<CWaveOutDriver*>(instance);
    if (message == WaveOutMessage::DeviceLost) {
        // Under the lock, so that a Start still rendering its first blocks
        // has finished and its running flag is cleared here, not after.
        bool firstReport = false;
        {
            CScopedLock<CWaveOutDriver> hold(*self);
            self->running = false;
            firstReport = !self->lostDevice.exchange(true);
        }
        if (firstReport) {
            char text[96];
            std::snprintf(text, sizeof text, "WaveOut: Device Lost <Error Code 0x%x>", static_cast<unsigned>(error));
            ReportDeviceLost(self->GetName(), text);
        }
        return;
    }
    CScopedLock<CWaveOutDriver> hold(*self);
    if (self->running.load()) {
        if (header == &self->headers[0])
            self->Render(0);
        else if (header == &self->headers[1])
            self->Render(1);
    }
}
