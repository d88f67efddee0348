#pragma once
// CMIDIInput: note and controller messages from a MIDI input device become
// control events on "Control Out". Each message is placed in the block at
// the sample that matches its arrival, 80 ms later, so that the timing of a
// live performance survives the block boundaries.
//
// Threads: the device's hook runs on the MIDI system's thread and only
// queues into a fixed ring (no lock, no allocation); Work on the audio
// thread or the machine's worker takes from it what falls into its block,
// and what falls later stays queued, in arrival order, for a later block.
// Device and channel choices come from the user-interface thread.

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "machines/SpscRing.h"

class CMIDIDevices;
class MIDIInputDevice;

class CMIDIInput : public CMachine {
public:
    static constexpr int kAllChannels = -1;
    static constexpr int kLatencyMilliseconds = 80;
    /// Messages that can wait between arrival and their block; more are
    /// dropped rather than allocated for.
    static constexpr int kQueueCapacity = 1024;
    static constexpr int kStateBytes = 8;

    enum Port { kControlOut = 0 };

    /// devices may be null: the machine then has no device to choose.
    CMIDIInput(CHost* host, CMIDIDevices* devices);
    /// Lets go of its device.
    ~CMIDIInput() override;

    void Work() override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }
    /// 8 bytes: device position (-1 none), channel (-1 all). A device that
    /// fails to open leaves the machine without one; the message is kept in
    /// DeviceError, since a state block arrives while a project loads and
    /// the machine must come into being regardless.
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    // User-interface thread.
    /// Detaches from the current device (hook removed, then closed) and
    /// attaches to the device at position (hook added, then opened); -1 or
    /// a position outside the list leaves none. Throws the device's error,
    /// and the machine is then without a device.
    void SelectDevice(int position);
    int DevicePosition() const;
    MIDIInputDevice* Device() const { return device; }
    /// -1 for all channels, else 0 .. 15; other values are ignored.
    void SetChannel(int newChannel);
    int GetChannel() const { return channel.load(std::memory_order_relaxed); }
    /// The last device failure of LoadState, "" when none.
    const std::string& DeviceError() const { return deviceError; }
    /// Messages dropped because the queues were full.
    int DroppedMessages() const { return dropped.load(std::memory_order_relaxed); }

private:
    static void OnMessage(void* machine, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void Detach();
    void Attach(int position);
    /// Samples from this block's start to the moment the event is due.
    std::int64_t Offset(std::int64_t stamp, std::int64_t now) const;

    MIDIInputDevice* device = nullptr;
    std::atomic<std::int32_t> channel{kAllChannels};
    void* editor = nullptr;
    std::int64_t performanceFrequency;
    std::int32_t sampleRate;
    std::int32_t blockSize;

    CMIDIDevices* devices;
    /// Arrived and not yet placed: the MIDI thread appends, Work takes from
    /// the front what is due. Arrival stamps never decrease along it.
    CSpscRing<ControlEvent, kQueueCapacity> arrivals;
    std::atomic<int> dropped{0};
    std::string deviceError;
};

class CMIDIInputInfo : public CMachineInfo {
public:
    CMIDIInputInfo(CHost* host, CMIDIDevices* devices);
    CMachine* CreateMachine() override;

private:
    CHost* host;
    CMIDIDevices* devices;
};
