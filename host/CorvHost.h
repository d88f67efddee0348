#pragma once
// CCorvHost: the host services every machine and plug-in library holds a
// pointer to. One instance lives for the whole run of the program.
//
// Its fields are read without locks from every thread; the setters are
// called with the studio lock held, so values never change in the middle of
// a block.

#include <cstdint>
#include <functional>

#include "framework/Host.h"

class CHostBankServer;
class CMachineRegistry;

class CCorvHost : public CHost {
public:
    static constexpr int kNoteCount = 128;
    static constexpr double kLowestNoteHz = 8.175798915636872;   // MIDI note 0
    static constexpr double kSemitoneRatio = 1.059463094359;
    static constexpr double kMinimumTempo = 1.0;
    static constexpr double kMaximumTempo = 1200.0;
    static constexpr double kMinimumTicksPerBeat = 1.0;
    static constexpr double kMaximumTicksPerBeat = 64.0;

    CCorvHost(int blockSize, int sampleRate, std::int32_t cpuFeatures);
    ~CCorvHost();
    CCorvHost(const CCorvHost&) = delete;
    CCorvHost& operator=(const CCorvHost&) = delete;

    int RegisterMachineInfo(CMachineInfo* info) override;
    int GetNoteFrequency(unsigned note, double* out) override;
    int GetBankServer(CBankServer** out) override;
    void OnParameterChanged(CMachine* machine, int index, double value) override;
    int GetSampleCounter() override;
    double GetTempo() override;
    double GetTicksPerBeat() override;
    int GetSamplesPerTick() override;
    int GetSampleRate() override;
    int GetBlockSize() override;
    bool SupportsFeature(int feature) override;
    int GetCpuFeatures() override;

    // Studio lock held for all of these.
    void SetTempo(double beatsPerMinute) { tempo = beatsPerMinute; }
    void SetTicksPerBeat(double ticks) { ticksPerBeat = ticks; }
    /// For values that do not come from the tool bar's spin controls (a
    /// project file): limited to 1 .. 1200 and 1 .. 64 so that a tick always
    /// has a length.
    void SetTempoLimited(double beatsPerMinute);
    void SetTicksPerBeatLimited(double ticks);
    void SetAudioFormat(int newSampleRate, int newBlockSize);
    /// Wraps like the 32-bit counter it is instead of overflowing.
    void AdvanceSampleCounter(int length)
    {
        sampleCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(sampleCounter) +
                                                  static_cast<std::uint32_t>(length));
    }

    /// The output driver's channel count, which the master's inputs follow.
    void SetOutputChannelCount(int channels) { outputChannels = channels; }
    int GetOutputChannelCount() const { return outputChannels; }

    /// Where descriptors go; registering without a registry deletes them.
    void SetRegistry(CMachineRegistry* newRegistry) { registry = newRegistry; }
    CMachineRegistry* GetRegistry() const { return registry; }
    CHostBankServer* GetHostBankServer() const { return bankServer; }

    /// How a parameter change of a machine that is placed in the studio
    /// reaches its container (which also refreshes the editor). Without a
    /// handler, or for machines not placed, the machine's SetParameter.
    using ParameterChangeHandler = std::function<void(CMachine*, int, double)>;
    void SetParameterChangeHandler(ParameterChangeHandler handler) { parameterChangeHandler = std::move(handler); }

private:
    double noteFrequency[kNoteCount];
    std::int32_t sampleCounter = 0;
    std::int32_t sampleRate;
    std::int32_t blockSize;
    double tempo = 140.0;
    double ticksPerBeat = 16.0;
    CHostBankServer* bankServer;
    std::int32_t cpuFeatures;

    int outputChannels = 2;
    CMachineRegistry* registry = nullptr;
    ParameterChangeHandler parameterChangeHandler;
};
