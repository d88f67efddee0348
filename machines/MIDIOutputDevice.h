#pragma once
// MIDIOutputDevice: one MIDI output of the studio's device list, shared by
// every MIDI output machine that sends to it, opened once for all of them
// (reference counted).
//
// Threads: Open and Close on the user-interface thread; Write on the MIDI
// output machines' sender threads, never on the audio thread. One lock
// serialises them, since the MIDI system's port takes one caller at a time.

#include <cstdint>

#include "machines/MIDIPortDevice.h"

class MIDIOutputDevice : public MIDIPortDevice<platform::midi::MidiOut> {
public:
    /// Create: the device of number deviceId in the list. Throws
    /// "midiOutGetDevCaps For Device %u Failed With Error Code 0x%x".
    MIDIOutputDevice(const platform::midi::MidiPortList& list, std::uint32_t deviceId);

    /// Throws "midiOutOpen For Device <%s> Failed With Error Code 0x%x";
    /// Close throws "midiOutClose For Device <%s> Failed With Error Code 0x%x".
    void Open();
    /// status | data1 << 8 | data2 << 16, one byte each. Throws
    /// "MIDIOutputDevice[%s]::Write() Called But Device Is Not Open", and
    /// "midiOutShortMsg For Device <%s> Failed With Error Code 0x%x".
    void Write(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
};
