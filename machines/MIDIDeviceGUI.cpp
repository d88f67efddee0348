#include "machines/MIDIDeviceGUI.h"

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
