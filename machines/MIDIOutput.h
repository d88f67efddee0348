#pragma once
// CMIDIOutput: control events on "Control In" become MIDI messages to a
// MIDI output device: note-ons, note-offs, and parameter events 0 .. 127 as
// controllers. Its 128 parameters are those controllers, so the generic
// editor's sliders (or a pattern's parameter track) send them too.
//
// Threads: Work on the audio thread hands each message to the scheduler,
// which sends it at its sample's moment from a thread of its own; the
// user-interface thread chooses device and channel and moves the sliders.

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "machines/MIDIOutputScheduler.h"

class CMIDIDevices;
class MIDIOutputDevice;

class CMIDIOutput : public CMachine {
public:
    static constexpr int kControllerCount = 128;
    /// Events that can wait for a later block; more are dropped rather than
    /// allocated for.
    static constexpr int kQueueCapacity = 1024;
    static constexpr int kStateBytes = 8;

    enum Port { kControlIn = 0 };

    /// devices may be null: the machine then has no device to choose.
    CMIDIOutput(CHost* host, CMIDIDevices* devices);
    /// Lets go of its device after the scheduler has sent what it holds.
    ~CMIDIOutput() override;

    void Work() override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }
    double GetParameter(int index) override;
    /// Stores controller index and sends it at the start of the next block.
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    /// 8 bytes: device position (-1 none), channel 0 .. 15. A device that
    /// fails to open leaves the machine without one (DeviceError says why).
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    // User-interface thread.
    /// Closes the current device and opens the one at position (-1 or a
    /// position outside the list: none). Throws the device's error; the
    /// machine is then without a device.
    void SelectDevice(int position);
    int DevicePosition() const;
    MIDIOutputDevice* Device() const { return device.load(std::memory_order_acquire); }
    /// 0 .. 15; other values are ignored.
    void SetChannel(int newChannel);
    int GetChannel() const { return channel.load(std::memory_order_relaxed); }
    const std::string& DeviceError() const { return deviceError; }
    const CMIDIOutputScheduler& Scheduler() const { return scheduler; }

private:
    void Detach();
    void Attach(int position);
    void QueueChangedControllers(CControlBuffer* in);
    void Send(const ControlEvent& event, MIDIOutputDevice* target, std::int64_t blockStart);

    std::atomic<MIDIOutputDevice*> device{nullptr};
    std::atomic<std::int32_t> channel{0};
    void* editor = nullptr;
    CControlBuffer waiting;   // events for later blocks, timed from the next block's start
    std::int64_t performanceFrequency;
    std::int32_t sampleRate;
    std::int32_t blockSize;
    double values[kControllerCount] = {};

    CMIDIDevices* devices;
    /// One bit per controller set since the last block; the audio thread
    /// takes them, so a slider never touches the port's own buffer.
    std::atomic<std::uint32_t> changedControllers[kControllerCount / 32] = {};
    std::string deviceError;
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
