#pragma once
// The descriptor of "KV VUziD8" (CDrumKit).

#include "framework/MachineInfo.h"

class CHost;

class CDrumKitInfo : public CMachineInfo {
public:
    explicit CDrumKitInfo(CHost* host);
    CMachine* CreateMachine() override;

private:
    CHost* host;
};
