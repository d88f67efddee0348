#pragma once
// CMIDIDevices: the studio's MIDI device lists, one MIDIInputDevice per
// input and one MIDIOutputDevice per output of the MIDI system, in the
// system's order, taken once at start-up and kept until shutdown. Machines
// refer to a device by its position in these lists (their state blocks
// store it).
//
// The application creates it before the studio and destroys it after the
// studio, so that every machine has let go of its device first.

#include <memory>
#include <vector>

#include "platform/midi/MidiApi.h"

class MIDIInputDevice;
class MIDIOutputDevice;

class CMIDIDevices {
public:
    /// Builds both lists. Without a reachable MIDI system the lists are
    /// empty and the studio runs without MIDI devices.
    explicit CMIDIDevices(platform::midi::MidiApi api = platform::midi::MidiApi::Automatic);
    /// Closes whatever is still open.
    ~CMIDIDevices();
    CMIDIDevices(const CMIDIDevices&) = delete;
    CMIDIDevices& operator=(const CMIDIDevices&) = delete;

    int InputCount() const { return static_cast<int>(inputs.size()); }
    int OutputCount() const { return static_cast<int>(outputs.size()); }
    /// Null outside 0 .. count - 1.
    MIDIInputDevice* Input(int position) const;
    MIDIOutputDevice* Output(int position) const;
    /// The position of a device of these lists, -1 for null or a stranger.
    int PositionOf(const MIDIInputDevice* device) const;
    int PositionOf(const MIDIOutputDevice* device) const;
    /// Positions by name, -1 when absent.
    int FindInput(const char* name) const;
    int FindOutput(const char* name) const;

    /// The system the lists came from.
    platform::midi::MidiApi Api() const { return api; }

private:
    platform::midi::MidiApi api;
    std::vector<std::unique_ptr<MIDIInputDevice>> inputs;
    std::vector<std::unique_ptr<MIDIOutputDevice>> outputs;
};
