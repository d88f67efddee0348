#include "machines/MIDIInputDevice.h"

#include <algorithm>

#include "framework/Error.h"

MIDIInputDevice::MIDIInputDevice(const platform::midi::MidiPortList& list, std::uint32_t id)
    : MIDIPortDevice(list, id, "In")
{
}

MIDIInputDevice::~MIDIInputDevice()
{
    // The port goes first: until it is closed the MIDI thread may still be
    // delivering through the hook list, which goes before the base does.
    Disconnect();
}

void MIDIInputDevice::Open()
{
    CountedOpen([this] {
        int result = handle.Open(api, name, &MIDIInputDevice::Callback, this);
        if (result != platform::midi::kMidiNoError)
            throw CError("midiInOpen For Device <%s> Failed With Error Code 0x%x", name.c_str(), result);
        result = handle.Start();
        if (result != platform::midi::kMidiNoError) {
            handle.Close();
            throw CError("midiInStart For Device <%s> Failed With Error Code 0x%x", name.c_str(), result);
        }
    });
}

void MIDIInputDevice::AddHook(HookFunction function, void* context)
{
    std::lock_guard<std::mutex> guard(hookLock);
    const bool present = std::any_of(hooks.begin(), hooks.end(), [&](const Hook& hook) {
        return hook.function == function && hook.context == context;
    });
    if (present)
        throw CError("AddHook: Hook Already Added");
    hooks.push_back({function, context});
}

void MIDIInputDevice::RemoveHook(HookFunction function, void* context)
{
    std::lock_guard<std::mutex> guard(hookLock);
    const auto found = std::find_if(hooks.begin(), hooks.end(), [&](const Hook& hook) {
        return hook.function == function && hook.context == context;
    });
    if (found == hooks.end())
        throw CError("RemoveHook: Not Found");
    hooks.erase(found);
}

int MIDIInputDevice::HookCount() const
{
    std::lock_guard<std::mutex> guard(hookLock);
    return static_cast<int>(hooks.size());
}

void MIDIInputDevice::Callback(void* instance, std::uint32_t message)
{
    auto* self = static_cast<MIDIInputDevice*>(instance);
    const auto status = static_cast<std::uint8_t>(message & 0xFF);
    const auto data1 = static_cast<std::uint8_t>((message >> 8) & 0xFF);
    const auto data2 = static_cast<std::uint8_t>((message >> 16) & 0xFF);
    // The hooks only queue (they take no other lock), so holding this one
    // while they run keeps RemoveHook's promise without blocking anyone long.
    std::lock_guard<std::mutex> guard(self->hookLock);
    for (const Hook& hook : self->hooks)
        hook.function(hook.context, status, data1, data2);
}
