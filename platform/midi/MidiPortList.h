#pragma once
// The MIDI ports one system offers at one moment: the inputs (ports that
// send to the studio) or the outputs (ports the studio can send to), in the
// system's order. The studio takes this picture once at start-up and keeps
// its device numbers from it.
//
// User-interface thread.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/midi/MidiApi.h"

namespace platform::midi {

enum class MidiDirection { Input, Output };

class MidiPortList {
public:
    /// Lists the ports now; an unreachable system gives an empty list and
    /// Result() tells why.
    MidiPortList(MidiApi api, MidiDirection direction);

    std::uint32_t Count() const { return static_cast<std::uint32_t>(names.size()); }
    /// kMidiNoError and the port's name, or kMidiBadDeviceId for a number
    /// past the end.
    int GetName(std::uint32_t id, std::string* name) const;
    /// kMidiNoError, or what kept the list from being read.
    int Result() const { return result; }
    MidiApi Api() const { return api; }

private:
    MidiApi api;
    std::vector<std::string> names;
    int result = kMidiNoError;
};

} // namespace platform::midi
