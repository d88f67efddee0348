#pragma once
// The descriptor of "KV Zazud" (CKick).

#include "framework/MachineInfo.h"

class CHost;

class CKickInfo : public CMachineInfo {
public:
    explicit CKickInfo(CHost* host);
    CMachine* CreateMachine() override;

private:
    CHost* host;
};
