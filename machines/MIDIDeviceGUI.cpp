#include "machines/MIDIDeviceGUI.h"

#include <cstdio>

#include "framework/Error.h"

std::string CMIDIDeviceGUI::ChooseDevice(int index)
{
    try {
        SelectDevice(index);
    } catch (const CError& error) {
        return error.Message();
    }
    return {};
}

bool CMIDIDeviceGUI::Refresh()
{
    const int device = DeviceIndex();
    const int channel = ChannelIndex();
    if (device == shownDevice && channel == shownChannel)
        return false;
    shownDevice = device;
    shownChannel = channel;
    return true;
}

std::vector<std::string> CMIDIDeviceGUI::ChannelNames() const
{
    std::vector<std::string> names;
    if (allChannels)
        names.emplace_back("All Channels");
    char text[32];
    for (int i = 1; i <= 16; ++i) {
        std::snprintf(text, sizeof text, "Channel %i", i);
        names.emplace_back(text);
    }
    return names;
}
