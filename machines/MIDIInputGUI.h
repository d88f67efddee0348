#pragma once
// CMIDIInputGUI: the MIDI input machine's editor ("MIDI Input", 240 x 64):
// the input devices by name, and "All Channels" then "Channel 1" ..
// "Channel 16", entry k meaning channel k - 1.
//
// Threads: user-interface thread.

#include "machines/MIDIDeviceGUI.h"

class CMIDIInput;

class CMIDIInputGUI : public CMIDIDeviceGUI {
public:
    explicit CMIDIInputGUI(CMIDIInput& machine) : CMIDIDeviceGUI(true), machine(machine) {}

    const char* Caption() const override { return "MIDI Input"; }
    std::vector<std::string> DeviceNames() const override;
    int DeviceIndex() const override;

protected:
    void SelectDevice(int index) override;
    int MachineChannel() const override;
    void SetMachineChannel(int channel) override;

private:
    CMIDIInput& machine;
};
