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
//
// Its channel is kAllChannels (-1) or one of 0 .. 15; the state block holds
// it after the device position (-1 none).

#include <atomic>
#include <cstdint>

#include "framework/ControlEvent.h"
#include "framework/MachineInfo.h"
#include "machines/MIDIDeviceMachine.h"
#include "machines/SpscRing.h"

class CMIDIDevices;
class MIDIInputDevice;

class CMIDIInput : public CMIDIDeviceMachine<CMIDIInput, MIDIInputDevice> {
public:
    static constexpr int kAllChannels = -1;
    static constexpr int kLatencyMilliseconds = 80;
    /// Messages that can wait between arrival and their block; more are
    /// dropped rather than allocated for.
    static constexpr int kQueueCapacity = 1024;

    enum Port { kControlOut = 0 };

    /// devices may be null: the machine then has no device to choose.
    CMIDIInput(CHost* host, CMIDIDevices* devices);
    /// Lets go of its device.
    ~CMIDIInput() override;

    void Work() override;
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;

    /// Messages dropped because the queues were full.
    int DroppedMessages() const { return dropped.load(std::memory_order_relaxed); }

private:
    friend class CMIDIDeviceMachine<CMIDIInput, MIDIInputDevice>;

    static void OnMessage(void* machine, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    /// Hook removed, then closed.
    void Detach();
    /// Hook added, then opened.
    void Attach(int position);
    /// Samples from this block's start to the moment the event is due.
    std::int64_t Offset(std::int64_t stamp, std::int64_t now) const;

    void* editor = nullptr;
    /// Arrived and not yet placed: the MIDI thread appends, Work takes from
    /// the front what is due. Arrival stamps never decrease along it.
    CSpscRing<ControlEvent, kQueueCapacity> arrivals;
    std::atomic<int> dropped{0};
};

class CMIDIInputInfo : public CMachineInfo {
public:
    CMIDIInputInfo(CHost* host, CMIDIDevices* devices);
    CMachine* CreateMachine() override;

private:
    CHost* host;
    CMIDIDevices* devices;
};
