#include "platform/midi/MidiApi.h"

#include <jack/jack.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace platform::midi {

namespace {

void IgnoreJackMessage(const char*) {}

/// JACK reports a refused connection on standard error unless told not to;
/// the handlers are process-wide, so they are put back right after.
class QuietJack {
public:
    QuietJack() : savedError(jack_error_callback), savedInfo(jack_info_callback)
    {
        jack_set_error_function(&IgnoreJackMessage);
        jack_set_info_function(&IgnoreJackMessage);
    }
    ~QuietJack()
    {
        jack_set_error_function(savedError);
        jack_set_info_function(savedInfo);
    }
    QuietJack(const QuietJack&) = delete;
    QuietJack& operator=(const QuietJack&) = delete;

private:
    void (*savedError)(const char*);
    void (*savedInfo)(const char*);
};

} // namespace

MidiApi ResolveMidiApi(MidiApi requested)
{
    if (requested != MidiApi::Automatic)
        return requested;
    if (const char* chosen = std::getenv("CORVANE_MIDI_API")) {
        if (std::strcmp(chosen, "alsa") == 0)
            return MidiApi::AlsaSequencer;
        if (std::strcmp(chosen, "jack") == 0)
            return MidiApi::Jack;
    }
    // Containers and servers often run without the sequencer device; JACK
    // MIDI then carries the studio's MIDI instead.
    return access("/dev/snd/seq", R_OK | W_OK) == 0 ? MidiApi::AlsaSequencer : MidiApi::Jack;
}

const char* MidiApiName(MidiApi api)
{
    switch (ResolveMidiApi(api)) {
    case MidiApi::AlsaSequencer:
        return "ALSA sequencer";
    case MidiApi::Jack:
        return "JACK";
    case MidiApi::Automatic:
        break;
    }
    return "none";
}

std::string MidiClientName()
{
    const char* name = std::getenv("CORVANE_JACK_CLIENT_NAME");
    return name != nullptr && *name != '\0' ? name : "Corvane Studio";
}

bool JackServerReachable()
{
    QuietJack quiet;
    jack_status_t status{};
    const std::string name = MidiClientName() + " probe";
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (client == nullptr)
        return false;
    jack_client_close(client);
    return true;
}

} // namespace platform::midi
