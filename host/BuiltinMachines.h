#pragma once
// Registers the host's own machine types, before any plug-in library is
// loaded, in this order: master, arpeggiator, control-change mapper,
// recorder track mono, recorder track stereo, MIDI input, MIDI output.

class CCorvHost;
class CMachineRegistry;

void RegisterBuiltinMachines(CCorvHost& host, CMachineRegistry& registry);
