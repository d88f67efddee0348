#pragma once
// CHost: the services the host offers every machine and plug-in library.
// Its operations keep this slot order; it has no destructor slot, and a
// machine never deletes it.

class CBankServer;
class CMachine;
class CMachineInfo;

class CHost {
public:
    /// Hands the descriptor to the registry, which then owns it. Returns 0.
    virtual int RegisterMachineInfo(CMachineInfo* info) = 0;
    /// 0 and the frequency in Hz for notes below 128; 2 and 0.0 otherwise.
    virtual int GetNoteFrequency(unsigned note, double* out) = 0;
    /// 0 when *out receives the bank service, 1 when there is none.
    virtual int GetBankServer(CBankServer** out) = 0;
    /// Applies a machine's own parameter change and refreshes its editor.
    virtual void OnParameterChanged(CMachine* machine, int index, double value) = 0;
    virtual int GetSampleCounter() = 0;
    virtual double GetTempo() = 0;
    virtual double GetTicksPerBeat() = 0;
    virtual int GetSamplesPerTick() = 0;
    virtual int GetSampleRate() = 0;
    virtual int GetBlockSize() = 0;
    /// Feature 0 is the sample-bank service.
    virtual bool SupportsFeature(int feature) = 0;
    virtual int GetCpuFeatures() = 0;

protected:
    ~CHost() = default;
};
