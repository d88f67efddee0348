#pragma once
// The descriptor of "KV DavarorOdir", the stereo room reverb.

#include "framework/MachineInfo.h"

class CHost;

class CDavarorOdirInfo : public CMachineInfo {
public:
    explicit CDavarorOdirInfo(CHost* host);

    CMachine* CreateMachine() override;

private:
    CHost* host;
};
