#include "machines/MIDIOutputDevice.h"

#include "framework/Error.h"

MIDIOutputDevice::MIDIOutputDevice(const platform::midi::MidiPortList& list, std::uint32_t id)
    : api(list.Api()), deviceId(id)
{
    const int result = list.GetName(id, &name);
    if (result != platform::midi::kMidiNoError)
        throw CError("midiOutGetDevCaps For Device %u Failed With Error Code 0x%x", id, result);
}

MIDIOutputDevice::~MIDIOutputDevice()
{
    std::lock_guard<std::mutex> guard(lock);
    if (openCount > 0)
        handle.Close();
    openCount = 0;
}

void MIDIOutputDevice::Open()
{
    std::lock_guard<std::mutex> guard(lock);
    if (openCount > 0) {
        ++openCount;
        return;
    }
    const int result = handle.Open(api, name);
    if (result != platform::midi::kMidiNoError)
        throw CError("midiOutOpen For Device <%s> Failed With Error Code 0x%x", name.c_str(), result);
    openCount = 1;
}

void MIDIOutputDevice::Close()
{
    std::lock_guard<std::mutex> guard(lock);
    if (openCount <= 0)
        return;
    if (--openCount > 0)
        return;
    const int result = handle.Close();
    if (result != platform::midi::kMidiNoError)
        throw CError("midiOutClose For Device <%s> Failed With Error Code 0x%x", name.c_str(), result);
}

int MIDIOutputDevice::OpenCount() const
{
    std::lock_guard<std::mutex> guard(lock);
    return openCount;
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
