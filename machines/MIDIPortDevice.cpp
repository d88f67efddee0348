#include "machines/MIDIPortDevice.h"

#include "framework/Error.h"

template <class Handle>
MIDIPortDevice<Handle>::MIDIPortDevice(const platform::midi::MidiPortList& list, std::uint32_t id,
                                       const char* direction)
    : api(list.Api()), deviceId(id), direction(direction)
{
    const int result = list.GetName(id, &name);
    if (result != platform::midi::kMidiNoError)
        throw CError("midi%sGetDevCaps For Device %u Failed With Error Code 0x%x", direction, id, result);
}

template <class Handle>
MIDIPortDevice<Handle>::~MIDIPortDevice()
{
    Disconnect();
}

template <class Handle>
void MIDIPortDevice<Handle>::Disconnect()
{
    std::lock_guard<std::mutex> guard(lock);
    if (openCount > 0)
        handle.Close();
    openCount = 0;
}

template <class Handle>
void MIDIPortDevice<Handle>::Close()
{
    std::lock_guard<std::mutex> guard(lock);
    if (openCount <= 0)
        return;
    if (--openCount > 0)
        return;
    const int result = handle.Close();
    if (result != platform::midi::kMidiNoError)
        throw CError("midi%sClose For Device <%s> Failed With Error Code 0x%x", direction, name.c_str(), result);
}

template <class Handle>
int MIDIPortDevice<Handle>::OpenCount() const
{
    std::lock_guard<std::mutex> guard(lock);
    return openCount;
}

template class MIDIPortDevice<platform::midi::MidiIn>;
template class MIDIPortDevice<platform::midi::MidiOut>;
