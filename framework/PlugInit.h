#pragma once
// The one entry point of a machine plug-in library. The host calls it once,
// right after loading the library, with the library's own module handle and
// the host services; the library registers each of its machine types through
// CHost::RegisterMachineInfo before it returns.

class CHost;

/// The handle the host loaded the library with.
using ModuleHandle = void*;

extern "C" {
typedef void (*CorvPlugInitFunction)(ModuleHandle module, CHost* host);
}

#define CORVANE_PLUGIN_ENTRY_NAME "CorvPlugInit"
