#pragma once
// Registers the host's own machine types, before any plug-in library is
// loaded, in this order: master, arpeggiator, control-change mapper,
// recorder track mono, recorder track stereo, MIDI input, MIDI output.

class CCorvHost;
class CHDRecorder;
class CMIDIDevices;
class CMachineRegistry;

/// What the built-in machines reach beyond the host: the MIDI device lists
/// and the recorder panel. Both belong to the application and must outlive
/// every machine created through the registry. Either may be null: MIDI
/// machines then have no devices to choose, and recorder tracks keep rows
/// of their own that no panel starts.
struct BuiltinMachineServices {
    CMIDIDevices* midiDevices = nullptr;
    CHDRecorder* recorder = nullptr;
};

void RegisterBuiltinMachines(CCorvHost& host, CMachineRegistry& registry,
                             const BuiltinMachineServices& services = {});
