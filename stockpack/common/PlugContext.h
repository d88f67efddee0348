#pragma once
// PlugContext: what the stock library keeps for as long as it is loaded: the
// host it was started with, the processor features the host reported and the
// shared oscillator tables. Created once by CorvPlugInit before any machine
// type is registered; read by machines (and their audio code) afterwards,
// without locks, since nothing in it changes.

#include <cstdint>

#include "framework/PlugInit.h"

class CHost;
class WaveTables;

struct PlugContext {
    CHost* host = nullptr;
    std::int32_t cpuFeatures = 0;
    WaveTables* waveTables = nullptr;
};

/// The library's context, or null before CorvPlugInit.
PlugContext* GetPlugContext();

/// Builds the context with complete tables and keeps it in the library
/// global. A second start of the library (the host calling CorvPlugInit
/// again) takes the new host and features but keeps the tables, which
/// machines of the first start still read. Start-up thread only.
PlugContext* CreatePlugContext(CHost* host, std::int32_t cpuFeatures);

/// The context's tables; builds a context without a host first when the
/// library was not started, so a machine never meets missing tables.
const WaveTables& SharedWaveTables();

/// The module handle the host loaded the library with.
ModuleHandle GetModuleHandle();
void SetModuleHandle(ModuleHandle module);
