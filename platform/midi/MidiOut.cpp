#include "platform/midi/MidiOut.h"

#include "platform/midi/RtMidiSupport.h"

namespace platform::midi {

namespace {

constexpr const char* kPortName = "MIDI Out";

} // namespace

MidiOut::MidiOut() : trap(std::make_unique<detail::ErrorTrap>()) {}

MidiOut::~MidiOut()
{
    Close();
}

int MidiOut::Open(MidiApi api, const std::string& portName)
{
    if (port)
        return kMidiAllocated;
    int result = kMidiNoError;
    *trap = detail::ErrorTrap{};
    std::unique_ptr<RtMidiOut> opened = detail::CreatePort<RtMidiOut>(api, *trap, &result);
    if (!opened)
        return result;
    const int number = detail::FindPortByName(*opened, portName);
    if (number < 0)
        return kMidiBadDeviceId;
    opened->openPort(static_cast<unsigned>(number), kPortName);
    if (trap->result != kMidiNoError || !opened->isPortOpen())
        return trap->result != kMidiNoError ? trap->result : kMidiError;
    port = std::move(opened);
    return kMidiNoError;
}

int MidiOut::Close()
{
    if (!port)
        return kMidiInvalidHandle;
    *trap = detail::ErrorTrap{};
    // Closing lets the messages already handed over leave first.
    port->closePort();
    const int result = trap->result;
    port.reset();
    return result;
}

int MidiOut::MessageLength(std::uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:   // program change
    case 0xD0:   // channel pressure
        return 2;
    case 0xF0:
        if (status == 0xF1 || status == 0xF3)
            return 2;
        return status == 0xF2 ? 3 : 1;
    default:
        return 3;
    }
}

int MidiOut::ShortMessage(std::uint32_t message)
{
    if (!port)
        return kMidiInvalidHandle;
    const unsigned char bytes[3] = {static_cast<unsigned char>(message), static_cast<unsigned char>(message >> 8),
                                    static_cast<unsigned char>(message >> 16)};
    if (bytes[0] < 0x80)
        return kMidiError;
    trap->result = kMidiNoError;
    port->sendMessage(bytes, static_cast<std::size_t>(MessageLength(bytes[0])));
    return trap->result;
}

} // namespace platform::midi
