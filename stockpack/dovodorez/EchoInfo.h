#pragma once
// The descriptor of "KV DovoDorez", the four-tap stereo echo.

#include "framework/MachineInfo.h"

class CHost;

class CEchoInfo : public CMachineInfo {
public:
    explicit CEchoInfo(CHost* host);

    CMachine* CreateMachine() override;

private:
    CHost* host;
};
