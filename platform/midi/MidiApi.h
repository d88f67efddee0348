#pragma once
// Which MIDI system the device layer speaks to, and the result codes its
// operations return. The codes keep the numbering of the multimedia MIDI
// functions the machines were first written against, so an error text that
// shows one ("... Failed With Error Code 0x2") means the same thing.

#include <string>

namespace platform::midi {

enum class MidiApi {
    Automatic,       // CORVANE_MIDI_API ("alsa" or "jack") when set, else the ALSA sequencer when it exists, else JACK
    AlsaSequencer,
    Jack,
};

enum MidiResult : int {
    kMidiNoError = 0,
    kMidiError = 1,          // the MIDI system refused the call
    kMidiBadDeviceId = 2,    // no device of that number, or it has gone
    kMidiAllocated = 4,      // already open
    kMidiInvalidHandle = 5,  // not open
    kMidiNoDriver = 6,       // the MIDI system is not there (no sequencer, no JACK server)
    kMidiNoMemory = 7,
};

/// Automatic made concrete; the other values pass through.
MidiApi ResolveMidiApi(MidiApi requested);
/// "ALSA sequencer" or "JACK".
const char* MidiApiName(MidiApi api);
/// The client name the studio's MIDI ports appear under: the JACK client
/// name of the audio driver (CORVANE_JACK_CLIENT_NAME) when set, else
/// "Corvane Studio".
std::string MidiClientName();
/// Whether the JACK server that JACK_DEFAULT_SERVER names (or the default
/// one) accepts a client now. Asks without letting JACK print anything, so
/// a studio started without a server stays quiet.
bool JackServerReachable();

} // namespace platform::midi
