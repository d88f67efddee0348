#pragma once
// MIDIInputDevice: one MIDI input of the studio's device list, shared by
// every MIDI input machine that listens to it. It is opened once for all of
// them (reference counted) and hands each message to every hook in the
// order they were added.
//
// Threads: Open, Close, AddHook and RemoveHook on the user-interface
// thread; the hooks run on the MIDI system's thread. Once RemoveHook has
// returned, that hook is not running and will not run again, so its context
// may be destroyed.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi/MidiApi.h"
#include "platform/midi/MidiIn.h"
#include "platform/midi/MidiPortList.h"

class MIDIInputDevice {
public:
    /// status, first data byte, second data byte.
    using HookFunction = void (*)(void* context, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    /// Create: the device of number deviceId in the list. Throws
    /// "midiInGetDevCaps For Device %u Failed With Error Code 0x%x".
    MIDIInputDevice(const platform::midi::MidiPortList& list, std::uint32_t deviceId);
    /// Destroy: closes the device completely if it is open.
    ~MIDIInputDevice();
    MIDIInputDevice(const MIDIInputDevice&) = delete;
    MIDIInputDevice& operator=(const MIDIInputDevice&) = delete;

    /// The first Open connects and starts delivery; later ones only count.
    /// Throws "midiInOpen For Device <%s> Failed With Error Code 0x%x" or
    /// "midiInStart For Device <%s> Failed With Error Code 0x%x".
    void Open();
    /// The last Close disconnects; nothing when not open. Throws
    /// "midiInClose For Device <%s> Failed With Error Code 0x%x".
    void Close();

    /// Throws "AddHook: Hook Already Added".
    void AddHook(HookFunction function, void* context);
    /// Throws "RemoveHook: Not Found".
    void RemoveHook(HookFunction function, void* context);

    std::uint32_t DeviceId() const { return deviceId; }
    const char* GetName() const { return name.c_str(); }
    int OpenCount() const;
    int HookCount() const;

private:
    struct Hook {
        HookFunction function;
        void* context;
    };
    static void Callback(void* device, std::uint32_t message);

    platform::midi::MidiApi api;
    std::uint32_t deviceId;
    std::string name;
    std::vector<Hook> hooks;
    mutable std::mutex hookLock;   // the hook list: user-interface thread against the MIDI thread
    int openCount = 0;
    mutable std::mutex openLock;   // open count and handle, between user-interface threads
    platform::midi::MidiIn handle;
};
