#pragma once
// The descriptor of "KV Mixer", the eight-track mixer with two aux loops.

#include "framework/MachineInfo.h"

class CHost;

class CMixerInfo : public CMachineInfo {
public:
    explicit CMixerInfo(CHost* host);

    CMachine* CreateMachine() override;

private:
    CHost* host;
};
