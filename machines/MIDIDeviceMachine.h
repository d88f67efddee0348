#pragma once
// CMIDIDeviceMachine: what the MIDI input and the MIDI output machine have
// in common. Each has one control port (its only one), uses one device of
// the studio's lists, chosen by its position there, and a channel; its
// state block is 8 bytes: the device position (-1 none), then the channel.
//
// Machine, the class that derives from this, says how it takes a device
// and lets go of it: Machine::Attach(position), which leaves the machine
// without one for a position outside the list and throws the device's error
// when it cannot open it, and Machine::Detach(). Both run on the
// user-interface thread.
//
// Threads: device and channel choices come from the user-interface thread;
// the channel is one store that the machine's other threads read.

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/Machine.h"

class CMIDIDevices;

template <class Machine, class DeviceType>
class CMIDIDeviceMachine : public CMachine {
public:
    static constexpr int kStateBytes = 8;
    static constexpr int kHighestChannel = 15;

    void SetSampleRate(int rate) override { sampleRate = rate; }
    void SetBlockSize(int length) override { blockSize = length; }
    bool IsInstrument() override { return false; }
    /// 8 bytes: device position, channel; other blocks are ignored. A
    /// device that fails to open leaves the machine without one; the
    /// message is kept in DeviceError, since a state block arrives while a
    /// project loads and the machine must come into being regardless.
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    // User-interface thread.
    /// Lets go of the current device and takes the one at position; -1 or
    /// a position outside the list leaves none. Throws the device's error,
    /// and the machine is then without a device.
    void SelectDevice(int position);
    int DevicePosition() const;
    DeviceType* Device() const { return device.load(std::memory_order_acquire); }
    /// The lowest channel the machine takes .. 15; other values are ignored.
    void SetChannel(int newChannel);
    int GetChannel() const { return channel.load(std::memory_order_relaxed); }
    /// The studio's device lists, null when there are none.
    const CMIDIDevices* Devices() const { return devices; }
    /// The last device failure of LoadState, "" when none.
    const std::string& DeviceError() const { return deviceError; }

protected:
    /// The port has these flags and this name; the channel starts at
    /// lowestChannel. devices may be null: there is then no device to
    /// choose.
    CMIDIDeviceMachine(CHost* host, CMIDIDevices* devices, std::int32_t portFlags, const char* portName,
                       int lowestChannel);
    /// Deletes the port.
    ~CMIDIDeviceMachine() override;

    /// For the destructors: Detach, and a device error is passed over,
    /// since the machine goes away regardless.
    void LetGoOfDevice();

    std::atomic<DeviceType*> device{nullptr};
    std::atomic<std::int32_t> channel;
    std::int64_t performanceFrequency;
    std::int32_t sampleRate;
    std::int32_t blockSize;
    CMIDIDevices* devices;

private:
    Machine& Self() { return static_cast<Machine&>(*this); }

    std::int32_t lowestChannel;
    std::string deviceError;
};
