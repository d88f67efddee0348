#pragma once
// CAudioOutputDriver: what every output driver offers the host. Once
// started, a driver calls the engine's callback from its own thread (or the
// device's) whenever it needs the next block: one array of doubles per
// channel, which the callback fills completely. Converting and clipping to
// the device's format is the driver's business.

#include <cstdint>

/// The engine's block function and its context.
struct AudioCallback {
    void (*function)(void* context, int channels, double** buffers, int length) = nullptr;
    void* context = nullptr;

    void operator()(int channels, double** buffers, int length) const { function(context, channels, buffers, length); }
};

/// The callback drivers start with: silence.
AudioCallback SilenceCallback();

class CAudioOutputDriver {
public:
    virtual ~CAudioOutputDriver() = default;

    virtual void SetCallback(AudioCallback callback) = 0;
    virtual int GetChannelCount() = 0;
    virtual int GetBufferSize() = 0;
    virtual int GetSampleRate() = 0;
    virtual const char* GetName() = 0;
    /// Opens the device if needed and begins calling the callback.
    virtual void Start() = 0;
    /// Stops calling the callback (a block in progress finishes first),
    /// releases the device and takes over changed settings for the next
    /// Start.
    virtual void Stop() = 0;
    virtual bool IsAvailable() = 0;
};

/// A format flag decoded: one nibble per sample rate (11025, 22050, 44100,
/// 48000, 96000), one bit per layout (mono 8, stereo 8, mono 16, stereo 16).
struct AudioFormat {
    int sampleRate = 44100;
    int bitsPerSample = 16;
    bool stereo = true;
};

/// The lowest non-zero nibble decides. Throws "Invalid Format" when none of
/// the 20 bits is set.
AudioFormat DecodeFormatFlag(std::int32_t flag);
/// Whether a flag has any of the 20 format bits.
bool IsValidFormatFlag(std::int32_t flag);
/// The flag bit of a rate and layout, or 0 for a rate outside the table.
std::int32_t FormatFlagFor(int sampleRate, int bitsPerSample, bool stereo);
