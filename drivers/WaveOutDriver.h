#pragma once
// CWaveOutDriver: plays the engine's blocks through a consumer sound device
// (an ALSA playback PCM, used the waveOut way). Two device buffers are kept
// in flight: when the device reports one played, the driver asks the engine
// for the next block, converts it to the device's 8- or 16-bit PCM and
// queues it again. The default driver on a first start when a device exists.
//
// Threads: Start and Stop on the user-interface thread; rendering on the
// device's notifier thread. Both take the driver's lock, so no block is
// rendered while buffers are set up, and a block in progress completes
// before Stop resets the device. A device lost while playing stops the
// driver; it says so once (ReportDeviceLost) and renders nothing more
// until the next Start.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "drivers/AudioOutputDriver.h"
#include "framework/HostMutex.h"
#include "platform/audio/WaveOutDevice.h"
#include "platform/audio/WaveOutTypes.h"

class CAppOptions;

class CWaveOutDriver : public CAudioOutputDriver, public CHostMutex {
public:
    static constexpr int kDefaultBufferSize = 8192;
    static constexpr int kSmallestBufferSize = 2048;
    static constexpr int kBufferStep = 512;
    static constexpr int kLargestBufferSize = 16384;

    /// Lists the devices and reads the settings: device, buffer size
    /// (corrected and written back) and format (searched on the device).
    explicit CWaveOutDriver(CAppOptions& options);
    /// Releases the device if the host did not stop the driver.
    ~CWaveOutDriver() override;

    void SetCallback(AudioCallback newCallback) override;
    int GetChannelCount() override { return stereo ? 2 : 1; }
    int GetBufferSize() override { return bufferSize; }
    int GetSampleRate() override { return sampleRate; }
    const char* GetName() override { return "Wave Out"; }
    /// Opens the device and queues two rendered blocks. Throws "WaveOut:
    /// waveOutOpen Failed <Error Code 0x%x>" or "WaveOut:
    /// waveOutPrepareHeader Failed <Error Code: 0x%x>".
    void Start() override;
    /// Resets and closes the device, then takes over the configured
    /// settings.
    void Stop() override;
    bool IsAvailable() override { return deviceCount > 0; }

    /// Device, buffer size and format to take over at the next Stop (the
    /// options page's choice); written to the options at once.
    void Configure(int newDeviceIndex, int newBufferSize, std::int32_t requestedFormat);

    /// The buffer size used for a stored one: 8192 below 2048, whole
    /// multiples of 512 up to 16384, 16384 above.
    static int CorrectBufferSize(int stored);
    /// The flag to use on a device with capability bits caps when flag
    /// requested is asked for; 0 when nothing fits. requested must hold a
    /// format bit.
    static std::int32_t SearchFormat(std::int32_t requested, std::int32_t caps);
    /// "%0.1fkHz, %ibit, %s": "44.1kHz, 16bit, Stereo".
    static std::string DescribeFormat(std::int32_t flag);
    static int BytesPerFrame(int bitsPerSample, bool stereo) { return (stereo ? 2 : 1) * bitsPerSample / 8; }
    /// One block into device bytes: interleaved when right is given, the
    /// left channel alone otherwise. 16 bits signed little-endian, 8 bits
    /// offset to unsigned (silence 128).
    static void ConvertBlock(const double* left, const double* right, int frames, int bitsPerSample,
                             unsigned char* out) noexcept;

    const std::vector<platform::audio::WaveOutCaps>& Devices() const { return deviceCaps; }
    int GetDeviceIndex() const { return deviceIndex; }
    std::int32_t GetFormatFlag() const { return formatFlag; }
    int GetBitsPerSample() const { return bitsPerSample; }
    bool IsRunning() const { return running.load(); }
    /// Since the last Start.
    std::uint32_t UnderrunCount() const { return device.UnderrunCount(); }
    bool HasLostDevice() const { return lostDevice.load(); }

private:
    static void DeviceCallback(void* instance, platform::audio::WaveOutMessage message,
                               platform::audio::WaveHeader* header, int error);
    void Render(int k);
    void ReleaseDevice();
    void Decode();
    std::int32_t FormatForDevice(std::int32_t requested) const;

    std::int32_t sampleRate = 44100;
    std::int32_t bufferSize = 4096;
    std::int32_t bitsPerSample = 16;
    bool stereo = true;
    platform::audio::WaveOutDevice device;
    platform::audio::WaveHeader headers[2];
    unsigned char* deviceBuffers[2] = {nullptr, nullptr};
    double* channelBuffers[2] = {nullptr, nullptr};
    std::int32_t deviceCount = 0;
    std::vector<platform::audio::WaveOutCaps> deviceCaps;
    std::int32_t deviceIndex = -1;
    std::int32_t formatFlag = 0;
    std::int32_t configuredBufferSize = kDefaultBufferSize;
    std::int32_t configuredDeviceIndex = -1;
    std::atomic<bool> running{false};
    std::atomic<bool> lostDevice{false};
    AudioCallback callback;
    CAppOptions& options;
};
