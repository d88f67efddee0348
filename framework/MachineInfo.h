#pragma once
// CMachineInfo: the descriptor of a machine type. Plug-in libraries create
// one per type and hand it to the host's registry, which owns it from then
// on and creates machines through it.

#include "framework/Packing.h"

class CMachine;

/// Platform icon, or null.
using IconHandle = void*;

CORVANE_PACK_BEGIN

class CMachineInfo {
public:
    CMachineInfo() : name("New Machine"), identifier(""), smallIcon(nullptr), largeIcon(nullptr) {}
    virtual ~CMachineInfo() = default;
    CMachineInfo(const CMachineInfo&) = delete;
    CMachineInfo& operator=(const CMachineInfo&) = delete;

    /// Deletes the descriptor.
    virtual void Release() { delete this; }
    /// A new machine bound to the host this descriptor's library was given.
    virtual CMachine* CreateMachine() = 0;

    const char* name;         // display name and registry key
    const char* identifier;   // "CorvPlug::" + key
    IconHandle smallIcon;     // 16 x 16
    IconHandle largeIcon;     // 32 x 32
};

CORVANE_PACK_END
