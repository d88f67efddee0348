#pragma once
// A JACK server of the test's own (jack_test::CJackTestServer, without
// real-time threads) and a JACK MIDI client of the test's own, the peer:
// its "to studio" port plays the part of a keyboard, its "from studio"
// port the part of a sound module. The studio's MIDI devices see
// both ports; the test sends and receives real messages through the server.
//
// JACK 2 keeps a per-user database in /dev/shm that clients of several
// servers must not create or remove at the same moment, so the rig holds
// the lock file every JACK test of this project takes
// (/tmp/corvane-jack-tests-<uid>.lock) for its whole life. Client names
// carry the process id, so tests of different programs never meet.

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/drivers/jack/JackTestLock.h"
#include "tests/drivers/jack/JackTestServer.h"

namespace machines_test {

struct MidiMessage {
    std::uint8_t bytes[3] = {0, 0, 0};
    int size = 0;
    bool operator==(const MidiMessage& other) const
    {
        return size == other.size && bytes[0] == other.bytes[0] && (size < 2 || bytes[1] == other.bytes[1]) &&
               (size < 3 || bytes[2] == other.bytes[2]);
    }
};

MidiMessage Message(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

class CJackMidiRig {
public:
    /// Takes the lock, starts the server and the peer; Ready() tells
    /// whether all went well and Why() why not.
    CJackMidiRig();
    /// Peer first, then the server; removes what the server left behind.
    ~CJackMidiRig();
    CJackMidiRig(const CJackMidiRig&) = delete;
    CJackMidiRig& operator=(const CJackMidiRig&) = delete;

    bool Ready() const { return peer != nullptr; }
    const std::string& Why() const { return why; }

    /// Full JACK names of the peer's ports, as the device lists name them.
    std::string KeyboardPort() const;   // the peer's output: an input device of the studio
    std::string ModulePort() const;     // the peer's input: an output device of the studio

    /// Sent by the peer in its next process cycle, in order.
    void Send(const std::vector<MidiMessage>& messages);
    /// Waits, up to bound, until count messages have arrived at the peer
    /// since the last Take; returns what arrived (possibly fewer).
    std::vector<MidiMessage> Take(std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(5));
    /// Connections of the keyboard and the module port.
    int KeyboardConnections() const;
    int ModuleConnections() const;
    /// A second keyboard: another client with one output port. Removing it
    /// makes a device of lists built meanwhile name a port that is gone.
    std::string AddSecondKeyboard();
    void RemoveSecondKeyboard();

private:
    static int Process(jack_nframes_t frames, void* rig);

    jack_test::CJackTestLock lock;   // first in, last out: held while the server runs
    jack_test::CJackTestServer server;
    jack_client_t* peer = nullptr;
    jack_client_t* secondKeyboard = nullptr;
    jack_port_t* keyboard = nullptr;
    jack_port_t* module = nullptr;
    jack_ringbuffer_t* outgoing = nullptr;   // test thread to process thread, 4 bytes a message
    jack_ringbuffer_t* incoming = nullptr;   // process thread to test thread
    std::vector<MidiMessage> received;
    std::string why;
};

} // namespace machines_test
