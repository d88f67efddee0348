#include "machines/MIDIDevices.h"

#include <cstring>

#include "machines/MIDIInputDevice.h"
#include "machines/MIDIOutputDevice.h"
#include "platform/midi/MidiPortList.h"

CMIDIDevices::CMIDIDevices(platform::midi::MidiApi requested) : api(platform::midi::ResolveMidiApi(requested))
{
    using platform::midi::MidiDirection;
    using platform::midi::MidiPortList;
    const MidiPortList inputList(api, MidiDirection::Input);
    for (std::uint32_t id = 0; id < inputList.Count(); ++id)
        inputs.push_back(std::make_unique<MIDIInputDevice>(inputList, id));
    const MidiPortList outputList(api, MidiDirection::Output);
    for (std::uint32_t id = 0; id < outputList.Count(); ++id)
        outputs.push_back(std::make_unique<MIDIOutputDevice>(outputList, id));
}

CMIDIDevices::~CMIDIDevices() = default;

MIDIInputDevice* CMIDIDevices::Input(int position) const
{
    return position >= 0 && position < InputCount() ? inputs[static_cast<std::size_t>(position)].get() : nullptr;
}

MIDIOutputDevice* CMIDIDevices::Output(int position) const
{
    return position >= 0 && position < OutputCount() ? outputs[static_cast<std::size_t>(position)].get() : nullptr;
}

int CMIDIDevices::PositionOf(const MIDIInputDevice* device) const
{
    for (int i = 0; i < InputCount(); ++i) {
        if (device != nullptr && inputs[static_cast<std::size_t>(i)].get() == device)
            return i;
    }
    return -1;
}

int CMIDIDevices::PositionOf(const MIDIOutputDevice* device) const
{
    for (int i = 0; i < OutputCount(); ++i) {
        if (device != nullptr && outputs[static_cast<std::size_t>(i)].get() == device)
            return i;
    }
    return -1;
}

int CMIDIDevices::FindInput(const char* name) const
{
    for (int i = 0; i < InputCount(); ++i) {
        if (name != nullptr && std::strcmp(inputs[static_cast<std::size_t>(i)]->GetName(), name) == 0)
            return i;
    }
    return -1;
}

int CMIDIDevices::FindOutput(const char* name) const
{
    for (int i = 0; i < OutputCount(); ++i) {
        if (name != nullptr && std::strcmp(outputs[static_cast<std::size_t>(i)]->GetName(), name) == 0)
            return i;
    }
    return -1;
}
