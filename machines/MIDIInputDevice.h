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
#include <vector>

#include "machines/MIDIPortDevice.h"

class MIDIInputDevice : public MIDIPortDevice<platform::midi::MidiIn> {
public:
    /// status, first data byte, second data byte.
    using HookFunction = void (*)(void* context, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    /// Create: the device of number deviceId in the list. Throws
    /// "midiInGetDevCaps For Device %u Failed With Error Code 0x%x".
    MIDIInputDevice(const platform::midi::MidiPortList& list, std::uint32_t deviceId);
    /// Destroy: closes the device completely if it is open.
    ~MIDIInputDevice();

    /// The first Open connects and starts delivery; later ones only count.
    /// Throws "midiInOpen For Device <%s> Failed With Error Code 0x%x" or
    /// "midiInStart For Device <%s> Failed With Error Code 0x%x". The last
    /// Close disconnects; it throws
    /// "midiInClose For Device <%s> Failed With Error Code 0x%x".
    void Open();

    /// Throws "AddHook: Hook Already Added".
    void AddHook(HookFunction function, void* context);
    /// Throws "RemoveHook: Not Found".
    void RemoveHook(HookFunction function, void* context);

    int HookCount() const;

private:
    struct Hook {
        HookFunction function;
        void* context;
    };
    static void Callback(void* device, std::uint32_t message);

    std::vector<Hook> hooks;
    mutable std::mutex hookLock;   // the hook list: user-interface thread against the MIDI thread
};
