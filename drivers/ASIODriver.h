#pragma once
// CASIODriver: plays the engine's blocks through a low-latency ASIO-style
// driver (the JACK server, see platform/audio/AsioJackDriver.h). Each
// installed driver is probed once at construction (buffer sizes, outputs,
// rates); Start loads the chosen one, creates one output per channel and
// renders a block from inside the driver's buffer switch, converting the
// doubles to each output's sample type. Output only.
//
// Threads: Start and Stop on the user-interface thread, with the engine
// quiet; the buffer switch on the driver's real-time thread, which calls
// the engine directly and takes no lock of the driver. When the server goes
// away while playing, the driver stops rendering, says so once
// (ReportDeviceLost) from the layer's own thread and stays quiet until the
// next Start.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "drivers/AudioOutputDriver.h"
#include "framework/HostMutex.h"
#include "platform/audio/AsioDriverList.h"
#include "platform/audio/AsioJackDriver.h"
#include "platform/audio/AsioTypes.h"

class CAppOptions;

class CASIODriver : public CAudioOutputDriver, public CHostMutex {
public:
    /// One installed driver, as probed at construction. A driver that did
    /// not load keeps zero sizes, no outputs and no rates.
    struct DriverRecord {
        std::string name;
        std::int32_t rateFlags = 0;   // bit k for rate k of 11025, 22050, 44100, 48000, 96000
        std::int32_t minBufferSize = 0;
        std::int32_t maxBufferSize = 0;
        std::int32_t preferredBufferSize = 0;
        std::int32_t granularity = 0;
        std::int32_t outputCount = 0;
        std::int32_t currentSampleRate = 0;   // the rate it ran at when probed
    };

    /// Lists and probes the installed drivers and selects the first.
    explicit CASIODriver(CAppOptions& options);
    ~CASIODriver() override;

    void SetCallback(AudioCallback newCallback) override;
    int GetChannelCount() override { return selected >= 0 ? drivers[static_cast<std::size_t>(selected)].outputCount : 0; }
    int GetBufferSize() override { return bufferSize; }
    int GetSampleRate() override { return sampleRate; }
    const char* GetName() override { return "ASIO"; }
    /// Loads the selected driver and starts it. Throws "ASIO: Can't Load
    /// Driver <%s>", "ASIOCreateBuffers() Returned 0x%x" or "ASIOStart()
    /// Returned 0x%x" when it cannot play.
    void Start() override;
    /// Stops and disposes the buffers (failures are shown, not thrown),
    /// then leaves the server until the next Start.
    void Stop() override;
    bool IsAvailable() override { return !drivers.empty(); }

    /// The rate bit to run at: want itself (its lowest bit the driver has)
    /// when they share one, else the highest of 96000, 48000, 44100 and
    /// 22050 that is supported; 0 when none is.
    static std::int32_t ChooseRateFlag(std::int32_t want, std::int32_t supported);
    /// The rate of a flag's lowest bit; 0 for none.
    static int RateOfFlag(std::int32_t flag);
    /// "%0.1fkHz" of the flag's rate, or of currentRate without a flag.
    static std::string DescribeRate(std::int32_t flag, int currentRate);
    /// One channel into an output of the given sample type; other types
    /// are left as the driver gave them.
    static void ConvertChannel(const double* in, void* out, int frames, std::int32_t sampleType) noexcept;

    const std::vector<DriverRecord>& Drivers() const { return drivers; }
    int GetSelected() const { return selected; }
    std::int32_t GetRateFlag() const { return rateFlag; }
    int GetBitsPerSample() const { return bitsPerSample; }
    bool IsRunning() const { return running.load(); }
    bool HasLostDevice() const { return lostDevice.load(); }
    /// Whether a client of the server is held: from Start to Stop, a dead
    /// one included after the server went.
    bool IsJoined() const { return asio.IsLoaded(); }
    /// Reported by the server since the last Start.
    std::uint32_t XrunCount() const { return asio.XrunCount(); }
    /// The JACK name of an output while started ("" otherwise).
    std::string OutputPortName(int channel) const { return asio.OutputPortName(channel); }

private:
    static void BufferSwitch(std::int32_t index, bool directProcess);
    static void SampleRateDidChange(double rate);
    static std::int32_t AsioMessage(std::int32_t selector, std::int32_t value, void* message, double* opt);
    static void* BufferSwitchTimeInfo(void* params, std::int32_t index, bool directProcess);
    static void DriverLost(void* context, const char* reason);
    void Render(std::int32_t index) noexcept;
    void FreeChannels();

    std::int32_t sampleRate = 44100;
    std::int32_t bufferSize = 512;
    std::int32_t bitsPerSample = 16;
    std::vector<DriverRecord> drivers;
    int selected = -1;
    std::int32_t rateFlag = 4;
    std::int32_t configuredBufferSize = 512;
    std::vector<platform::audio::AsioDriverEntry> driverList;
    platform::audio::AsioJackDriver asio;
    std::vector<platform::audio::AsioBufferInfo> bufferInfos;
    std::vector<void*> deviceBuffers;
    std::vector<platform::audio::AsioChannelInfo> channelInfos;
    std::vector<double*> channelBuffers;
    platform::audio::AsioCallbacks callbacks;
    std::atomic<bool> running{false};
    std::atomic<bool> lostDevice{false};
    AudioCallback callback;
    CAppOptions& options;

    /// The started driver; the buffer switch carries no context of its own.
    static std::atomic<CASIODriver*> currentDriver;
};
