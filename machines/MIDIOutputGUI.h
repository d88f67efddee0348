#pragma once
// CMIDIOutputGUI: the MIDI output machine's editor ("MIDI Output",
// 240 x 64): the output devices by name, and "Channel 1" .. "Channel 16",
// entry k meaning channel k.
//
// Threads: user-interface thread.

#include "machines/MIDIDeviceGUI.h"

class CMIDIOutput;

class CMIDIOutputGUI : public CMIDIDeviceGUI {
public:
    explicit CMIDIOutputGUI(CMIDIOutput& machine) : CMIDIDeviceGUI(false), machine(machine) {}

    const char* Caption() const override { return "MIDI Output"; }
    std::vector<std::string> DeviceNames() const override;
    int DeviceIndex() const override;

protected:
    void SelectDevice(int index) override;
    int MachineChannel() const override;
    void SetMachineChannel(int channel) override;

private:
    CMIDIOutput& machine;
};
