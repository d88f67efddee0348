#pragma once
// The descriptor of "KV RedoRuviz", the oversampling-filter machine. Its
// machines get the descriptor, where the editor's pictures will live.

#include "framework/MachineInfo.h"

class CHost;

class CRedoRuvizFilterInfo : public CMachineInfo {
public:
    explicit CRedoRuvizFilterInfo(CHost* host);

    CMachine* CreateMachine() override;

private:
    CHost* host;
};
