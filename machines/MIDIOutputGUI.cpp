#include "machines/MIDIOutputGUI.h"

#include <cstdio>

#include "machines/MIDIDevices.h"
#include "machines/MIDIOutput.h"
#include "machines/MIDIOutputDevice.h"

std::vector<std::string> CMIDIOutputGUI::DeviceNames() const
{
    std::vector<std::string> names;
    if (const CMIDIDevices* devices = machine.Devices())
        for (int i = 0; i < devices->OutputCount(); ++i)
            names.emplace_back(devices->Output(i)->GetName());
    return names;
}

std::vector<std::string> CMIDIOutputGUI::ChannelNames() const
{
    std::vector<std::string> names;
    char text[32];
    for (int i = 1; i <= 16; ++i) {
        std::snprintf(text, sizeof text, "Channel %i", i);
        names.emplace_back(text);
    }
    return names;
}

int CMIDIOutputGUI::DeviceIndex() const
{
    return machine.DevicePosition();
}

int CMIDIOutputGUI::ChannelIndex() const
{
    return machine.GetChannel();
}

void CMIDIOutputGUI::ChooseChannel(int index)
{
    machine.SetChannel(index);
}

void CMIDIOutputGUI::SelectDevice(int index)
{
    machine.SelectDevice(index);
}
