#pragma once
// One open MIDI input: the studio's own port connected to a port of the
// list, delivering each short message (channel and system messages up to
// three bytes; system exclusive, clock and active sensing are filtered out)
// to one callback as status | data1 << 8 | data2 << 16.
//
// Open, Start, Stop and Close: user-interface thread. The callback runs on
// the MIDI system's own thread (ALSA's input thread, or JACK's process
// thread) between Start and Stop; after Close returns it is never called
// again.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/MidiApi.h"

class RtMidiIn;

namespace platform::midi {

namespace detail {
struct ErrorTrap;
}

class MidiIn {
public:
    using Callback = void (*)(void* context, std::uint32_t message);

    MidiIn();
    ~MidiIn();
    MidiIn(const MidiIn&) = delete;
    MidiIn& operator=(const MidiIn&) = delete;

    /// Connects to the port listed under portName. kMidiBadDeviceId when it
    /// is gone, kMidiAllocated when already open, kMidiNoDriver without the
    /// MIDI system.
    int Open(MidiApi api, const std::string& portName, Callback callback, void* context);
    /// Messages reach the callback from now on.
    int Start();
    int Stop();
    /// Disconnects; waits for a callback in progress to return.
    int Close();
    bool IsOpen() const { return port != nullptr; }

private:
    static void OnMessage(double deltaSeconds, std::vector<unsigned char>* message, void* self);

    std::unique_ptr<detail::ErrorTrap> trap;
    std::unique_ptr<RtMidiIn> port;
    Callback callback = nullptr;
    void* context = nullptr;
    std::atomic<bool> started{false};
};

} // namespace platform::midi
