#include "machines/MIDIOutputDevice.h"

#include "framework/Error.h"

MIDIOutputDevice::MIDIOutputDevice(const platform::midi::MidiPortList& list, std::uint32_t id)
    : MIDIPortDevice(list, id, "Out")
{
}

void MIDIOutputDevice::Open()
{
    CountedOpen([this] {
        const int result = handle.Open(api, name);
        if (result != platform::midi::kMidiNoError)
            throw CError("midiOutOpen For Device <%s> Failed With Error Code 0x%x", name.c_str(), result);
    });
}

void MIDIOutputDevice::Write(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    std::lock_guard<std::mutex> guard(lock);
    if (openCount <= 0)
        throw CError("MIDIOutputDevice[%s]::Write() Called But Device Is Not Open", name.c_str());
    const std::uint32_t message = status | static_cast<std::uint32_t>(data1) << 8 |
                                  static_cast<std::uint32_t>(data2) << 16;
    const int result = handle.ShortMessage(message);
    if (result != platform::midi::kMidiNoError)
        throw CError("midiOutShortMsg For Device <%s> Failed With Error Code 0x%x", name.c_str(), result);
}
