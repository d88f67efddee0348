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
    explicit CMIDIOutputGUI(CMIDIOutput& machine) : machine(machine) {}

    const char* Caption() const override { return "MIDI Output"; }
    std::vector<std::string> DeviceNames() const override;
    std::vector<std::string> ChannelNames() const override;
    int DeviceIndex() const override;
    int ChannelIndex() const override;
    void ChooseChannel(int index) override;

protected:
    void SelectDevice(int index) override;

private:
    CMIDIOutput& machine;
};
