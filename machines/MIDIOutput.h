#pragma once
// CMIDIOutput: control events on "Control In" become MIDI messages to a
// MIDI output device: note-ons, note-offs, and parameter events 0 .. 127 as
// controllers. Its 128 parameters are those controllers, so the generic
// editor's sliders (or a pattern's parameter track) send them too.
//
// Threads: Work on the audio thread hands each message to the scheduler,
// which sends it at its sample's moment from a thread of its own; the
// user-interface thread chooses device and channel and moves the sliders.
//
// Its channel is one of 0 .. 15; the state block holds it after the device
// position (-1 none).

#include <atomic>
#include <cstdint>

#include "framework/ControlBuffer.h"
#include "framework/MachineInfo.h"
#include "machines/MIDIDeviceMachine.h"
#include "machines/MIDIOutputScheduler.h"

class CMIDIDevices;
class MIDIOutputDevice;

class CMIDIOutput : public CMIDIDeviceMachine<CMIDIOutput, MIDIOutputDevice> {
public:
    static constexpr int kControllerCount = 128;
    /// Events that can wait for a later block; more are dropped rather than
    /// allocated for.
    static constexpr int kQueueCapacity = 1024;

    enum Port { kControlIn = 0 };

    /// devices may be null: the machine then has no device to choose.
    CMIDIOutput(CHost* host, CMIDIDevices* devices);
    /// Lets go of its device after the scheduler has sent what it holds.
    ~CMIDIOutput() override;

    void Work() override;
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    double GetParameter(int index) override;
    /// Stores controller index and sends it at the start of the next block.
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;

    const CMIDIOutputScheduler& Scheduler() const { return scheduler; }

private:
    friend class CMIDIDeviceMachine<CMIDIOutput, MIDIOutputDevice>;

    /// Nothing more goes to the device, then it closes.
    void Detach();
    /// Opened, then handed to the scheduler and to Work.
    void Attach(int position);
    void QueueChangedControllers(CControlBuffer* in);
    void Send(const ControlEvent& event, MIDIOutputDevice* target, std::int64_t blockStart);

    void* editor = nullptr;
    CControlBuffer waiting;   // events for later blocks, timed from the next block's start
    double values[kControllerCount] = {};

    /// One bit per controller set since the last block; the audio thread
    /// takes them, so a slider never touches the port's own buffer.
    std::atomic<std::uint32_t> changedControllers[kControllerCount / 32] = {};
    CMIDIOutputScheduler scheduler;
};

class CMIDIOutputInfo : public CMachineInfo {
public:
    CMIDIOutputInfo(CHost* host, CMIDIDevices* devices);
    CMachine* CreateMachine() override;

private:
    CHost* host;
    CMIDIDevices* devices;
};
