#include "tests/machines/JackMidiRig.h"

#include <jack/midiport.h>

#include <cstring>
#include <thread>

namespace machines_test {

namespace {

using jack_test::ClientNameOfThisProcess;

constexpr int kServerRate = 44100;
constexpr int kServerPeriod = 256;
constexpr int kServerOutputs = 2;
constexpr std::size_t kRingBytes = 4096;

void Quiet(const char*) {}

jack_client_t* OpenClient(const std::string& name, const std::string& server)
{
    jack_status_t status{};
    return jack_client_open(name.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                            server.c_str());
}

} // namespace

MidiMessage Message(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    MidiMessage message;
    message.bytes[0] = status;
    message.bytes[1] = data1;
    message.bytes[2] = data2;
    message.size = 3;
    return message;
}

CJackMidiRig::CJackMidiRig()
{
    if (!lock.IsHeld()) {
        why = "the JACK test lock stayed taken";
        return;
    }
    // Start points every client of this process at the server; the
    // studio's MIDI client carries this process's id in its name.
    jack_set_error_function(&Quiet);
    jack_set_info_function(&Quiet);
    if (!server.Start(kServerRate, kServerPeriod, kServerOutputs, &why))
        return;

    jack_client_t* client = OpenClient(ClientNameOfThisProcess("corvane-midi-peer"), server.Name());
    if (client == nullptr) {
        why = "the peer could not join the server";
        return;
    }
    keyboard = jack_port_register(client, "to studio", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    module = jack_port_register(client, "from studio", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    outgoing = jack_ringbuffer_create(kRingBytes);
    incoming = jack_ringbuffer_create(kRingBytes);
    jack_set_process_callback(client, &CJackMidiRig::Process, this);
    if (keyboard == nullptr || module == nullptr || jack_activate(client) != 0) {
        jack_client_close(client);
        why = "the peer's ports could not be made";
        return;
    }
    peer = client;
}

CJackMidiRig::~CJackMidiRig()
{
    RemoveSecondKeyboard();
    if (peer != nullptr)
        jack_client_close(peer);
    peer = nullptr;
    server.Stop();
    if (outgoing != nullptr)
        jack_ringbuffer_free(outgoing);
    if (incoming != nullptr)
        jack_ringbuffer_free(incoming);
    jack_set_error_function(nullptr);
    jack_set_info_function(nullptr);
}

int CJackMidiRig::Process(jack_nframes_t frames, void* instance)
{
    auto* self = static_cast<CJackMidiRig*>(instance);
    void* out = jack_port_get_buffer(self->keyboard, frames);
    jack_midi_clear_buffer(out);
    unsigned char record[4];
    while (jack_ringbuffer_read_space(self->outgoing) >= sizeof record) {
        jack_ringbuffer_read(self->outgoing, reinterpret_cast<char*>(record), sizeof record);
        jack_midi_event_write(out, 0, record + 1, record[0]);
    }
    void* in = jack_port_get_buffer(self->module, frames);
    const jack_nframes_t count = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) != 0 || event.size == 0 || event.size > 3)
            continue;
        record[0] = static_cast<unsigned char>(event.size);
        std::memcpy(record + 1, event.buffer, event.size);
        if (jack_ringbuffer_write_space(self->incoming) >= sizeof record)
            jack_ringbuffer_write(self->incoming, reinterpret_cast<const char*>(record), sizeof record);
    }
    return 0;
}

std::string CJackMidiRig::KeyboardPort() const
{
    return jack_port_name(keyboard);
}

std::string CJackMidiRig::ModulePort() const
{
    return jack_port_name(module);
}

void CJackMidiRig::Send(const std::vector<MidiMessage>& messages)
{
    for (const MidiMessage& message : messages) {
        unsigned char record[4] = {static_cast<unsigned char>(message.size), message.bytes[0], message.bytes[1],
                                   message.bytes[2]};
        jack_ringbuffer_write(outgoing, reinterpret_cast<const char*>(record), sizeof record);
    }
}

std::vector<MidiMessage> CJackMidiRig::Take(std::size_t count, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        unsigned char record[4];
        while (jack_ringbuffer_read_space(incoming) >= sizeof record) {
            jack_ringbuffer_read(incoming, reinterpret_cast<char*>(record), sizeof record);
            MidiMessage message;
            message.size = record[0];
            std::memcpy(message.bytes, record + 1, 3);
            received.push_back(message);
        }
        if (received.size() >= count || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::vector<MidiMessage> taken = std::move(received);
    received.clear();
    return taken;
}

int CJackMidiRig::KeyboardConnections() const
{
    return jack_port_connected(keyboard);
}

int CJackMidiRig::ModuleConnections() const
{
    return jack_port_connected(module);
}

std::string CJackMidiRig::AddSecondKeyboard()
{
    secondKeyboard = OpenClient(ClientNameOfThisProcess("corvane-midi-second"), server.Name());
    if (secondKeyboard == nullptr)
        return "";
    jack_port_t* port = jack_port_register(secondKeyboard, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_activate(secondKeyboard);
    return port != nullptr ? jack_port_name(port) : "";
}

void CJackMidiRig::RemoveSecondKeyboard()
{
    if (secondKeyboard != nullptr)
        jack_client_close(secondKeyboard);
    secondKeyboard = nullptr;
}

} // namespace machines_test
