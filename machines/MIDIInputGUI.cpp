#include "machines/MIDIInputGUI.h"

#include <cstdio>

#include "machines/MIDIDevices.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIInputDevice.h"

std::vector<std::string> CMIDIInputGUI::DeviceNames() const
{
    std::vector<std::string> names;
    if (const CMIDIDevices* devices = machine.Devices())
        for (int i = 0; i < devices->InputCount(); ++i)
            names.emplace_back(devices->Input(i)->GetName());
    return names;
}

std::vector<std::string> CMIDIInputGUI::ChannelNames() const
{
    std::vector<std::string> names{"All Channels"};
    char text[32];
    for (int i = 1; i <= 16; ++i) {
        std::snprintf(text, sizeof text, "Channel %i", i);
        names.emplace_back(text);
    }
    return names;
}

int CMIDIInputGUI::DeviceIndex() const
{
    return machine.DevicePosition();
}

int CMIDIInputGUI::ChannelIndex() const
{
    return machine.GetChannel() + 1;
}

void CMIDIInputGUI::ChooseChannel(int index)
{
    machine.SetChannel(index - 1);
}

void CMIDIInputGUI::SelectDevice(int index)
{
    machine.SelectDevice(index);
}
