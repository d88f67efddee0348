#include "platform/midi/MidiIn.h"

#include "platform/midi/RtMidiSupport.h"

namespace platform::midi {

namespace {

constexpr const char* kPortName = "MIDI In";

} // namespace

MidiIn::MidiIn() : trap(std::make_unique<detail::ErrorTrap>()) {}

MidiIn::~MidiIn()
{
    Close();
}

int MidiIn::Open(MidiApi api, const std::string& portName, Callback newCallback, void* newContext)
{
    if (port)
        return kMidiAllocated;
    int result = kMidiNoError;
    *trap = detail::ErrorTrap{};
    std::unique_ptr<RtMidiIn> opened = detail::CreatePort<RtMidiIn>(api, *trap, &result);
    if (!opened)
        return result;
    const int number = detail::FindPortByName(*opened, portName);
    if (number < 0)
        return kMidiBadDeviceId;
    callback = newCallback;
    context = newContext;
    // The callback goes in first, so nothing lands in RtMidi's own queue.
    opened->setCallback(&MidiIn::OnMessage, this);
    opened->ignoreTypes(true, true, true);
    opened->openPort(static_cast<unsigned>(number), kPortName);
    if (trap->result != kMidiNoError || !opened->isPortOpen())
        return trap->result != kMidiNoError ? trap->result : kMidiError;
    port = std::move(opened);
    return kMidiNoError;
}

int MidiIn::Start()
{
    if (!port)
        return kMidiInvalidHandle;
    started.store(true, std::memory_order_release);
    return kMidiNoError;
}

int MidiIn::Stop()
{
    if (!port)
        return kMidiInvalidHandle;
    started.store(false, std::memory_order_release);
    return kMidiNoError;
}

int MidiIn::Close()
{
    if (!port)
        return kMidiInvalidHandle;
    started.store(false, std::memory_order_release);
    *trap = detail::ErrorTrap{};
    port->closePort();
    const int result = trap->result;
    // Destroying the RtMidi object stops its thread (or JACK client), so no
    // callback can follow.
    port.reset();
    return result;
}

void MidiIn::OnMessage(double, std::vector<unsigned char>* message, void* instance)
{
    auto* self = static_cast<MidiIn*>(instance);
    if (message == nullptr || message->empty() || message->size() > 3)
        return;
    if (!self->started.load(std::memory_order_acquire) || self->callback == nullptr)
        return;
    const unsigned char* bytes = message->data();
    if (bytes[0] < 0x80)
        return;
    std::uint32_t packed = bytes[0];
    if (message->size() > 1)
        packed |= static_cast<std::uint32_t>(bytes[1] & 0x7F) << 8;
    if (message->size() > 2)
        packed |= static_cast<std::uint32_t>(bytes[2] & 0x7F) << 16;
    self->callback(self->context, packed);
}

} // namespace platform::midi
