#pragma once
// CTestHost: the host services a machine under test sees. Block size, sample
// rate and the bank feature are plain fields a test sets before it builds a
// machine; parameter notifications are kept in order so a test can check
// who was told what, and when.

#include <cmath>
#include <ostream>
#include <vector>

#include "framework/Host.h"

class CBankServer;
class CMachine;

/// One step of a parameter change, from either side.
struct ParameterCall {
    enum class Side { Host, Machine };
    Side side;
    CMachine* machine;
    int index;
    double value;

    bool operator==(const ParameterCall&) const = default;
};

inline void PrintTo(const ParameterCall& call, std::ostream* out)
{
    *out << (call.side == ParameterCall::Side::Host ? "host" : "machine") << "(" << call.index << ", "
         << call.value << ")";
}

class CTestHost final : public CHost {
public:
    int RegisterMachineInfo(CMachineInfo*) override { return 0; }

    int GetNoteFrequency(unsigned note, double* out) override
    {
        if (note >= 128) {
            *out = 0.0;
            return 2;
        }
        *out = 440.0 * std::pow(2.0, (static_cast<double>(note) - 69.0) / 12.0);
        return 0;
    }

    int GetBankServer(CBankServer** out) override
    {
        ++bankServerRequests;
        *out = bankServer;
        return bankServer != nullptr ? 0 : 1;
    }

    void OnParameterChanged(CMachine* machine, int index, double value) override
    {
        calls.push_back({ParameterCall::Side::Host, machine, index, value});
    }

    int GetSampleCounter() override { return 0; }
    double GetTempo() override { return 120.0; }
    double GetTicksPerBeat() override { return 4.0; }
    int GetSamplesPerTick() override { return sampleRate * 60 / 120 / 4; }
    int GetSampleRate() override { return sampleRate; }
    int GetBlockSize() override { return blockSize; }
    bool SupportsFeature(int feature) override { return feature == 0 && bankFeature; }
    int GetCpuFeatures() override { return 0; }

    /// What machines record when their own SetParameter runs.
    void RecordMachineSet(CMachine* machine, int index, double value)
    {
        calls.push_back({ParameterCall::Side::Machine, machine, index, value});
    }

    int blockSize = 256;
    int sampleRate = 44100;
    bool bankFeature = false;
    CBankServer* bankServer = nullptr;
    int bankServerRequests = 0;
    std::vector<ParameterCall> calls;
};
