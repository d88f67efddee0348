#pragma once
// COfflineDriver: renders as fast as the machine can, calling the callback
// back to back on the caller's thread, for rendering projects to files and
// for tests. It is not one of the drivers a user chooses for playback.

#include <functional>
#include <vector>

#include "drivers/AudioOutputDriver.h"

class COfflineDriver : public CAudioOutputDriver {
public:
    COfflineDriver(int sampleRate, int bufferSize, int channels);
    ~COfflineDriver() override;

    void SetCallback(AudioCallback newCallback) override { callback = newCallback; }
    int GetChannelCount() override { return channels; }
    int GetBufferSize() override { return bufferSize; }
    int GetSampleRate() override { return sampleRate; }
    const char* GetName() override { return "Offline"; }
    void Start() override { started = true; }
    void Stop() override { started = false; }
    bool IsAvailable() override { return true; }

    /// Receives each rendered block: (channels, buffers, length).
    using BlockSink = std::function<void(int, const double* const*, int)>;
    /// Calls the callback blocks times, handing each block to sink when
    /// given. Does nothing unless started.
    void Render(int blocks, const BlockSink& sink = {});
    double* const* Buffers() const { return buffers.data(); }

private:
    int sampleRate;
    int bufferSize;
    int channels;
    bool started = false;
    AudioCallback callback;
    std::vector<double*> buffers;
};
