#pragma once
// MIDIPortDevice: what an input and an output of the studio's MIDI device
// lists have in common: the port's number and name in its list, and one
// connection to the port shared by every machine that uses it, counted, so
// that the first Open connects and the last Close disconnects.
//
// Handle is the platform's connection (MidiIn or MidiOut). The error texts
// name the calls by direction ("In" or "Out"), as the users of the studio
// have always seen them: "midiInClose For Device <...> ...".
//
// Threads: Open and Close on the user-interface thread. lock guards the
// count and the handle; a device that uses the handle from another thread
// takes the same lock.

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/midi/MidiApi.h"
#include "platform/midi/MidiIn.h"
#include "platform/midi/MidiOut.h"
#include "platform/midi/MidiPortList.h"

template <class Handle>
class MIDIPortDevice {
public:
    MIDIPortDevice(const MIDIPortDevice&) = delete;
    MIDIPortDevice& operator=(const MIDIPortDevice&) = delete;

    /// The last Close disconnects; nothing when not open. Throws
    /// "midi<direction>Close For Device <%s> Failed With Error Code 0x%x".
    void Close();

    std::uint32_t DeviceId() const { return deviceId; }
    const char* GetName() const { return name.c_str(); }
    int OpenCount() const;

protected:
    /// The device of number deviceId in the list. Throws
    /// "midi<direction>GetDevCaps For Device %u Failed With Error Code 0x%x".
    MIDIPortDevice(const platform::midi::MidiPortList& list, std::uint32_t deviceId, const char* direction);
    /// Disconnects if still connected.
    ~MIDIPortDevice();

    /// Counts one more opening; only the first runs connect(), which
    /// connects handle or throws, leaving the device closed.
    template <class Connect>
    void CountedOpen(Connect connect)
    {
        std::lock_guard<std::mutex> guard(lock);
        if (openCount == 0)
            connect();
        ++openCount;
    }

    /// Disconnects whatever the count. A device whose handle calls back into
    /// its own members calls this in its destructor, before they go.
    void Disconnect();

    platform::midi::MidiApi api;
    std::uint32_t deviceId;
    std::string name;
    const char* direction;
    int openCount = 0;
    mutable std::mutex lock;
    Handle handle;
};

extern template class MIDIPortDevice<platform::midi::MidiIn>;
extern template class MIDIPortDevice<platform::midi::MidiOut>;
