#pragma once
// One open MIDI output: the studio's own port connected to a port of the
// list, sending short messages.
//
// Not safe for two threads at once; the caller serialises (the output
// device does, with a lock of its own).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi/MidiApi.h"

class RtMidiOut;

namespace platform::midi {

namespace detail {
struct ErrorTrap;
}

class MidiOut {
public:
    MidiOut();
    ~MidiOut();
    MidiOut(const MidiOut&) = delete;
    MidiOut& operator=(const MidiOut&) = delete;

    /// Connects to the port listed under portName; results as MidiIn::Open.
    int Open(MidiApi api, const std::string& portName);
    int Close();
    bool IsOpen() const { return port != nullptr; }
    /// status | data1 << 8 | data2 << 16; as many bytes are sent as the
    /// status calls for.
    int ShortMessage(std::uint32_t message);

    /// How many bytes a message with this status has (1 to 3).
    static int MessageLength(std::uint8_t status);

private:
    std::unique_ptr<detail::ErrorTrap> trap;
    std::unique_ptr<RtMidiOut> port;
};

} // namespace platform::midi
