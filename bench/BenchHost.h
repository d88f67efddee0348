#pragma once
// What the stock library's benchmarks share: the host their machines run
// under (44.1 kHz, 256-sample blocks, equal temperament, no bank service,
// parameter reports applied through the machine's SetParameter as the real
// host does for a machine outside a studio) and the rendering thread's
// processor time, which they report so that other programs on a shared
// machine do not count.

#include <cmath>
#include <ctime>

#include "framework/Host.h"
#include "framework/Machine.h"

namespace bench {

inline constexpr int kSampleRate = 44100;
inline constexpr int kBlock = 256;

/// Seconds of processor time the calling thread has used.
inline double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

class CBenchHost : public CHost {
public:
    int RegisterMachineInfo(CMachineInfo*) override { return 0; }
    /// Note 69 is 440 Hz; numbers past the MIDI range have no frequency.
    int GetNoteFrequency(unsigned note, double* out) override
    {
        *out = note < 128 ? 440.0 * std::exp2((static_cast<int>(note) - 69) / 12.0) : 0.0;
        return note < 128 ? 0 : 2;
    }
    int GetBankServer(CBankServer** out) override
    {
        *out = nullptr;
        return 1;
    }
    void OnParameterChanged(CMachine* machine, int index, double value) override
    {
        machine->SetParameter(index, value);
    }
    int GetSampleCounter() override { return 0; }
    double GetTempo() override { return 120.0; }
    double GetTicksPerBeat() override { return 4.0; }
    int GetSamplesPerTick() override { return 5512; }
    int GetSampleRate() override { return kSampleRate; }
    int GetBlockSize() override { return kBlock; }
    bool SupportsFeature(int) override { return false; }
    int GetCpuFeatures() override { return 0x7; }
};

} // namespace bench
