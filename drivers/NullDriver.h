#pragma once
// CNullDriver: plays nothing, but runs the graph in real time without any
// sound hardware, pacing the callback with the millisecond tick count. The
// fallback when no sound device exists.
//
// The callback runs on the driver's own thread with the thread's lock held;
// Start and Stop take the same lock, so a block in progress finishes before
// Stop returns.

#include <cstdint>

#include "drivers/AudioOutputDriver.h"
#include "framework/Thread.h"

class CAppOptions;

class CNullDriver : public CAudioOutputDriver, public CThread {
public:
    static constexpr int kDefaultBufferSize = 2048;
    static constexpr int kBufferStep = 512;
    static constexpr int kLargestBufferSize = 8192;

    /// Corrects the stored buffer size and writes it back to the options.
    /// Throws "Invalid Format" when the stored format has no format bit.
    explicit CNullDriver(CAppOptions& options);
    ~CNullDriver() override;

    /// The buffer size the null driver uses for a stored one.
    static int CorrectBufferSize(int stored);

    void SetCallback(AudioCallback newCallback) override;
    int GetChannelCount() override { return stereo ? 2 : 1; }
    int GetBufferSize() override { return bufferSize; }
    int GetSampleRate() override { return sampleRate; }
    const char* GetName() override { return "Null"; }
    void Start() override;
    void Stop() override;
    bool IsAvailable() override { return true; }

    /// One paced block; the thread's Body.
    virtual void ThreadBody();
    void Body() override { ThreadBody(); }

    /// Settings to take over at the next Stop (the options page's choice).
    void Configure(int newBufferSize, std::int32_t newFormatFlag);
    int GetBitsPerSample() const { return bitsPerSample; }

private:
    void FreeBuffers();
    void Decode();

    std::int32_t sampleRate = 44100;
    std::int32_t bufferSize = kDefaultBufferSize;
    std::int32_t bitsPerSample = 16;
    bool stereo = true;
    double* buffers[2] = {nullptr, nullptr};
    bool running = false;
    std::int32_t formatFlag = 2048;
    std::int32_t configuredBufferSize = kDefaultBufferSize;
    std::uint32_t periodStart = 0;
    AudioCallback callback;
    CAppOptions& options;
};
