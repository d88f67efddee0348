#include "machines/MIDIInputGUI.h"

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

int CMIDIInputGUI::DeviceIndex() const
{
    return machine.DevicePosition();
}

int CMIDIInputGUI::MachineChannel() const
{
    return machine.GetChannel();
}

void CMIDIInputGUI::SetMachineChannel(int channel)
{
    machine.SetChannel(channel);
}

void CMIDIInputGUI::SelectDevice(int index)
{
    machine.SelectDevice(index);
}
