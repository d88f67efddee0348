#pragma once
// CMaster: the sink of the studio graph. Whatever is cabled to its inputs is
// what the output driver plays; the engine reads its input buffers itself,
// so the machine does no processing. Its inputs follow the output driver's
// channel count.

#include "framework/Machine.h"
#include "framework/MachineInfo.h"

class CCorvHost;

class CMaster : public CMachine {
public:
    explicit CMaster(CCorvHost* host);
    ~CMaster() override;

    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }
    /// Rebuilds the inputs for the current driver's channel count: one mono
    /// "Line In" for one channel, one stereo "Line In" for two, "Channel %i"
    /// ports for more, none for none. True when the ports changed (cables to
    /// the old ports are then gone). Studio lock and machine lock held.
    virtual bool UpdateInputs();

private:
    void DeletePorts();
    CCorvHost* corvHost;
};

class CMasterInfo : public CMachineInfo {
public:
    explicit CMasterInfo(CCorvHost* host);
    CMachine* CreateMachine() override;

private:
    CCorvHost* host;
};
