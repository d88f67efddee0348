#pragma once
// The vocabulary of the waveOut-style device layer: what a device can play,
// the PCM format a device is opened with, and the header of one buffer that
// is queued to it.

#include <atomic>
#include <cstdint>
#include <string>

namespace platform::audio {

/// One playback device: an ALSA PCM and the formats it accepts.
struct WaveOutCaps {
    std::string name;            // the ALSA PCM name, as Open takes it
    std::string description;     // what the user is shown
    std::int32_t formats = 0;    // format bits: a nibble per rate, a bit per layout
    int channels = 0;            // 2 when a stereo format is accepted, else 1
};

/// Integer PCM, interleaved, 8-bit unsigned or 16-bit signed little-endian.
struct WaveFormat {
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16;
    int blockAlign = 4;                 // bytes per frame: channels x bits / 8
    int averageBytesPerSecond = 176400; // sampleRate x blockAlign
};

/// Header flag bits.
enum WaveHeaderFlag : std::uint32_t {
    kHeaderDone = 0x1,       // played, or returned by Reset
    kHeaderPrepared = 0x2,
    kHeaderInQueue = 0x10,
};

/// One buffer of device bytes. The owner keeps data and the header alive
/// from Prepare to Unprepare.
struct WaveHeader {
    unsigned char* data = nullptr;
    std::uint32_t bufferLength = 0;   // bytes, a whole number of frames
    std::atomic<std::uint32_t> flags{0};
    void* user = nullptr;
};

enum class WaveOutMessage {
    Done,        // a header was played (or reset); it may be written again
    DeviceLost,  // the device failed for good; sent once, with the error
};

/// Called on the device's writer thread, never with a lock of the layer
/// held, so it may write headers again.
using WaveOutCallback = void (*)(void* instance, WaveOutMessage message, WaveHeader* header, int error);

} // namespace platform::audio
