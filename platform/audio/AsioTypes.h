#pragma once
// The vocabulary of the ASIO-style driver layer: result codes, sample
// types, the buffer and channel records and the host's callbacks, with the
// meanings and values of Steinberg's ASIO driver model, so that the driver
// above reads as an ASIO host.

#include <cstdint>

namespace platform::audio {

using AsioError = std::int32_t;
inline constexpr AsioError kAsioOk = 0;
inline constexpr AsioError kAsioNotPresent = -1000;        // no driver loaded, or it went away
inline constexpr AsioError kAsioHardwareMalfunction = -999;
inline constexpr AsioError kAsioInvalidParameter = -998;
inline constexpr AsioError kAsioInvalidMode = -997;        // the call does not fit the driver's state
inline constexpr AsioError kAsioNoClock = -995;            // a sample rate the driver cannot run at
inline constexpr AsioError kAsioNoMemory = -994;

/// Sample types of an output channel.
enum AsioSampleType : std::int32_t {
    kAsioInt16LSB = 16,
    kAsioInt24LSB = 17,
    kAsioInt32LSB = 18,
    kAsioFloat32LSB = 19,
    kAsioFloat64LSB = 20,
};

/// Selectors of the host's message callback that this layer sends.
enum AsioMessageSelector : std::int32_t {
    kAsioResetRequest = 3,
    kAsioBufferSizeChange = 4,
};

struct AsioBufferInfo {
    bool isInput = false;
    std::int32_t channelNum = 0;
    void* buffers[2] = {nullptr, nullptr};   // the two halves, filled in turn
};

struct AsioChannelInfo {
    std::int32_t channel = 0;
    bool isInput = false;
    bool isActive = false;
    std::int32_t channelGroup = 0;
    std::int32_t type = 0;   // AsioSampleType
    char name[32] = {};
};

/// The host's callbacks. The buffer switch runs on the driver's real-time
/// thread and carries no context, as ASIO's does.
struct AsioCallbacks {
    void (*bufferSwitch)(std::int32_t doubleBufferIndex, bool directProcess) = nullptr;
    void (*sampleRateDidChange)(double sampleRate) = nullptr;
    std::int32_t (*asioMessage)(std::int32_t selector, std::int32_t value, void* message, double* opt) = nullptr;
    void* (*bufferSwitchTimeInfo)(void* params, std::int32_t doubleBufferIndex, bool directProcess) = nullptr;
};

/// Told once, on a thread of the layer (never the real-time one), when the
/// driver is gone for good.
using AsioLostHandler = void (*)(void* context, const char* reason);

} // namespace platform::audio
