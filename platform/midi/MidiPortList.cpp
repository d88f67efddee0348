#include "platform/midi/MidiPortList.h"

#include "platform/midi/RtMidiSupport.h"

namespace platform::midi {

namespace {

template <class Port>
int ListNames(MidiApi api, std::vector<std::string>& names)
{
    detail::ErrorTrap trap;
    int result = kMidiNoError;
    std::unique_ptr<Port> port = detail::CreatePort<Port>(api, trap, &result);
    if (!port)
        return result;
    const unsigned count = port->getPortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(port->getPortName(i));
    return trap.result;
}

} // namespace

MidiPortList::MidiPortList(MidiApi requested, MidiDirection direction) : api(ResolveMidiApi(requested))
{
    result = direction == MidiDirection::Input ? ListNames<RtMidiIn>(api, names) : ListNames<RtMidiOut>(api, names);
}

int MidiPortList::GetName(std::uint32_t id, std::string* name) const
{
    if (id >= names.size())
        return kMidiBadDeviceId;
    *name = names[id];
    return kMidiNoError;
}

} // namespace platform::midi
