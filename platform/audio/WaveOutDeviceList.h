#pragma once
// The playback devices the Wave Out driver can choose from: ALSA's playback
// PCMs, "default" first, each with the format bits it accepts, found by
// testing hardware parameters. Called on the user-interface thread; opening
// each PCM to test it can take a moment.

#include <cstdint>
#include <vector>

#include "platform/audio/WaveOutTypes.h"

namespace platform::audio {

/// Devices that open now and accept at least one of the 20 formats. PCMs
/// that only discard (ALSA's "null") are left out: they have no clock, so
/// playing through them would run the engine flat out.
std::vector<WaveOutCaps> ListWaveOutDevices();

/// The format bits a PCM accepts (0 when it does not open), and through
/// channels, when given, 2 if a stereo format is among them, else 1.
std::int32_t ProbeWaveOutFormats(const char* pcmName, int* channels = nullptr);

} // namespace platform::audio
