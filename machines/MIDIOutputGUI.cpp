#include "machines/MIDIOutputGUI.h"

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

int CMIDIOutputGUI::DeviceIndex() const
{
    return machine.DevicePosition();
}

int CMIDIOutputGUI::MachineChannel() const
{
    return machine.GetChannel();
}

void CMIDIOutputGUI::SetMachineChannel(int channel)
{
    machine.SetChannel(channel);
}

void CMIDIOutputGUI::SelectDevice(int index)
{
    machine.SelectDevice(index);
}
