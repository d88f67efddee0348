#include "platform/audio/WaveOutDeviceList.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <string>

namespace platform::audio {

namespace {

constexpr unsigned kRates[5] = {11025, 22050, 44100, 48000, 96000};

// The layouts of one nibble, by bit: mono 8, stereo 8, mono 16, stereo 16.
struct Layout {
    std::int32_t bit;
    snd_pcm_format_t format;
    unsigned channels;
};
constexpr Layout kLayouts[4] = {
    {0x1, SND_PCM_FORMAT_U8, 1},
    {0x2, SND_PCM_FORMAT_U8, 2},
    {0x4, SND_PCM_FORMAT_S16_LE, 1},
    {0x8, SND_PCM_FORMAT_S16_LE, 2},
};

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Probing opens PCMs that may not exist on this machine ("default" without
// a card, surround devices of a stereo card); ALSA would print each failure,
// and none of them is an error here.
class QuietAlsa {
public:
    QuietAlsa() { snd_lib_error_set_handler(&IgnoreAlsaError); }
    ~QuietAlsa() { snd_lib_error_set_handler(nullptr); }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;
};

std::int32_t ProbeOpenPcm(snd_pcm_t* pcm, int* channels)
{
    snd_pcm_hw_params_t* any = nullptr;
    snd_pcm_hw_params_t* trial = nullptr;
    std::int32_t formats = 0;
    if (snd_pcm_hw_params_malloc(&any) == 0 && snd_pcm_hw_params_malloc(&trial) == 0 &&
        snd_pcm_hw_params_any(pcm, any) >= 0) {
        for (int nibble = 0; nibble < 5; ++nibble) {
            for (const Layout& layout : kLayouts) {
                snd_pcm_hw_params_copy(trial, any);
                if (snd_pcm_hw_params_set_access(pcm, trial, SND_PCM_ACCESS_RW_INTERLEAVED) == 0 &&
                    snd_pcm_hw_params_set_format(pcm, trial, layout.format) == 0 &&
                    snd_pcm_hw_params_set_channels(pcm, trial, layout.channels) == 0 &&
                    snd_pcm_hw_params_set_rate(pcm, trial, kRates[nibble], 0) == 0)
                    formats |= layout.bit << (4 * nibble);
            }
        }
    }
    snd_pcm_hw_params_free(trial);
    snd_pcm_hw_params_free(any);
    if (channels != nullptr)
        *channels = (formats & 0xAAAAA) != 0 ? 2 : 1;
    return formats;
}

// ALSA describes a device in lines ("HDA Intel PCH, ALC892 Analog" and
// "Front output / default"); one line reads better in a list.
std::string OneLine(const char* description)
{
    std::string text = description != nullptr ? description : "";
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

struct Candidate {
    std::string name;
    std::string description;
};

std::vector<Candidate> PlaybackCandidates()
{
    std::vector<Candidate> candidates;
    candidates.push_back({"default", "Default ALSA device"});
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0)
        return candidates;
    for (void** hint = hints; *hint != nullptr; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* description = snd_device_name_get_hint(*hint, "DESC");
        char* direction = snd_device_name_get_hint(*hint, "IOID");   // null: both directions
        const bool playback = direction == nullptr || std::string(direction) == "Output";
        if (name != nullptr && playback) {
            if (std::string(name) == "default") {
                if (description != nullptr)
                    candidates.front().description = OneLine(description);
            } else {
                candidates.push_back({name, OneLine(description != nullptr ? description : name)});
            }
        }
        std::free(name);
        std::free(description);
        std::free(direction);
    }
    snd_device_name_free_hint(hints);
    return candidates;
}

} // namespace

std::int32_t ProbeWaveOutFormats(const char* pcmName, int* channels)
{
    QuietAlsa quiet;
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, pcmName, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        if (channels != nullptr)
            *channels = 0;
        return 0;
    }
    const std::int32_t formats = ProbeOpenPcm(pcm, channels);
    snd_pcm_close(pcm);
    return formats;
}

std::vector<WaveOutCaps> ListWaveOutDevices()
{
    QuietAlsa quiet;
    std::vector<WaveOutCaps> devices;
    for (const Candidate& candidate : PlaybackCandidates()) {
        // Non-blocking, so that a device another program holds is skipped
        // instead of making the start of the program wait for it.
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, candidate.name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
            continue;
        WaveOutCaps caps;
        caps.name = candidate.name;
        caps.description = candidate.description;
        if (snd_pcm_type(pcm) != SND_PCM_TYPE_NULL)
            caps.formats = ProbeOpenPcm(pcm, &caps.channels);
        snd_pcm_close(pcm);
        if (caps.formats != 0)
            devices.push_back(std::move(caps));
    }
    return devices;
}

} // namespace platform::audio
