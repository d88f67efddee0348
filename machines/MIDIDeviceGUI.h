#pragma once
// CMIDIDeviceGUI: what the MIDI input's and the MIDI output's editors have
// in common, without their window: a caption, the device list
// ("DeviceCombo") and the channel list ("ChannelCombo"), each choice handed
// to the machine as it would take it from a project. CMIDIInputGUI and
// CMIDIOutputGUI say which lists and what an entry means.
//
// Threads: user-interface thread.

#include <string>
#include <vector>

class CMIDIDeviceGUI {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 64;

    /// allChannels: the list starts with "All Channels" (the machine's
    /// channel -1); "Channel k" is the machine's channel k - 1 either way.
    explicit CMIDIDeviceGUI(bool allChannels) : allChannels(allChannels) {}
    virtual ~CMIDIDeviceGUI() = default;

    virtual const char* Caption() const = 0;
    virtual std::vector<std::string> DeviceNames() const = 0;
    std::vector<std::string> ChannelNames() const;
    /// The machine's device as an entry of DeviceNames, -1 for none.
    virtual int DeviceIndex() const = 0;
    /// The machine's channel as an entry of ChannelNames.
    int ChannelIndex() const { return MachineChannel() + (allChannels ? 1 : 0); }
    void ChooseChannel(int index) { SetMachineChannel(index - (allChannels ? 1 : 0)); }

    /// Lets go of the old device and opens the chosen one, as the machine
    /// does; "" when it opened, else the device's message (the machine is
    /// then without a device).
    std::string ChooseDevice(int index);

    /// True when the machine's device or channel changed since the last
    /// call (a project loaded), so the window shows them again.
    bool Refresh();

protected:
    /// Throws the device's error.
    virtual void SelectDevice(int index) = 0;
    virtual int MachineChannel() const = 0;
    virtual void SetMachineChannel(int channel) = 0;

private:
    bool allChannels;
    int shownDevice = -2;
    int shownChannel = -2;
};
