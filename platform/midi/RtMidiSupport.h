#pragma once
// What MidiIn, MidiOut and MidiPortList share about RtMidi: creating its
// objects for the chosen system without exceptions or console output, and
// turning its complaints into result codes. Private to this library.

#include <rtmidi/RtMidi.h>

#include <memory>
#include <new>
#include <string>

#include "platform/midi/MidiApi.h"

namespace platform::midi::detail {

/// Collects RtMidi's reports for one object. With a handler installed RtMidi
/// neither throws nor prints; warnings (a port list that is empty, a
/// message it dropped) are not failures.
struct ErrorTrap {
    int result = kMidiNoError;

    static void Report(RtMidiError::Type type, const std::string&, void* trap)
    {
        auto* self = static_cast<ErrorTrap*>(trap);
        switch (type) {
        case RtMidiError::WARNING:
        case RtMidiError::DEBUG_WARNING:
            return;
        case RtMidiError::INVALID_DEVICE:
        case RtMidiError::NO_DEVICES_FOUND:
            self->result = kMidiBadDeviceId;
            return;
        case RtMidiError::MEMORY_ERROR:
            self->result = kMidiNoMemory;
            return;
        default:
            self->result = kMidiError;
            return;
        }
    }
};

inline RtMidi::Api ToRtMidiApi(MidiApi api)
{
    return ResolveMidiApi(api) == MidiApi::AlsaSequencer ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

/// A new RtMidiIn or RtMidiOut reporting into trap, or null with *result
/// set: kMidiNoDriver when the system is not there.
template <class Port>
std::unique_ptr<Port> CreatePort(MidiApi api, ErrorTrap& trap, int* result)
{
    const MidiApi resolved = ResolveMidiApi(api);
    // RtMidi's JACK client would complain on standard error without a
    // server; asking first keeps a studio without one quiet.
    if (resolved == MidiApi::Jack && !JackServerReachable()) {
        *result = kMidiNoDriver;
        return nullptr;
    }
    std::unique_ptr<Port> port;
    try {
        port = std::make_unique<Port>(ToRtMidiApi(resolved), MidiClientName());
    } catch (const RtMidiError&) {
        *result = kMidiNoDriver;
        return nullptr;
    } catch (const std::bad_alloc&) {
        *result = kMidiNoMemory;
        return nullptr;
    }
    port->setErrorCallback(&ErrorTrap::Report, &trap);
    *result = kMidiNoError;
    return port;
}

/// The number under which the port named name is listed now, or -1. Ports
/// come and go while the studio runs, so a device is found again by its
/// name rather than by the number it had when the list was made.
template <class Port>
int FindPortByName(Port& port, const std::string& name)
{
    const unsigned count = port.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (port.getPortName(i) == name)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace platform::midi::detail
