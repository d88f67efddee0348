#include "host/CorvHost.h"

#include <algorithm>
#include <cmath>

#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "host/MachineRegistry.h"
#include "samples/HostBankServer.h"

CCorvHost::CCorvHost(int blockSize, int sampleRate, std::int32_t cpuFeatures)
    : sampleRate(sampleRate), blockSize(blockSize), bankServer(new CHostBankServer), cpuFeatures(cpuFeatures)
{
    // Built by repeated multiplication, as stored projects and machines have
    // always heard it; note 69 lands on 440 Hz within rounding.
    double frequency = kLowestNoteHz;
    for (int note = 0; note < kNoteCount; ++note) {
        noteFrequency[note] = frequency;
        frequency *= kSemitoneRatio;
    }
}

CCorvHost::~CCorvHost()
{
    delete bankServer;
}

int CCorvHost::RegisterMachineInfo(CMachineInfo* info)
{
    if (info == nullptr)
        return 0;
    if (registry == nullptr) {
        info->Release();
        return 0;
    }
    registry->Register(info);
    return 0;
}

int CCorvHost::GetNoteFrequency(unsigned note, double* out)
{
    if (note < kNoteCount) {
        *out = noteFrequency[note];
        return 0;
    }
    *out = 0.0;
    return 2;
}

int CCorvHost::GetBankServer(CBankServer** out)
{
    *out = bankServer;
    return bankServer != nullptr ? 0 : 1;
}

void CCorvHost::OnParameterChanged(CMachine* machine, int index, double value)
{
    if (machine == nullptr)
        return;
    if (machine->container != nullptr && parameterChangeHandler) {
        parameterChangeHandler(machine, index, value);
        return;
    }
    machine->SetParameter(index, value);
}

int CCorvHost::GetSampleCounter()
{
    return sampleCounter;
}

double CCorvHost::GetTempo()
{
    return tempo;
}

double CCorvHost::GetTicksPerBeat()
{
    return ticksPerBeat;
}

int CCorvHost::GetSamplesPerTick()
{
    return static_cast<int>(std::trunc(60.0 / (ticksPerBeat * tempo) * sampleRate));
}

int CCorvHost::GetSampleRate()
{
    return sampleRate;
}

int CCorvHost::GetBlockSize()
{
    return blockSize;
}

bool CCorvHost::SupportsFeature(int feature)
{
    return feature == 0;
}

int CCorvHost::GetCpuFeatures()
{
    return cpuFeatures;
}

void CCorvHost::SetTempoLimited(double beatsPerMinute)
{
    if (!std::isfinite(beatsPerMinute))
        beatsPerMinute = 140.0;
    tempo = std::clamp(beatsPerMinute, kMinimumTempo, kMaximumTempo);
}

void CCorvHost::SetTicksPerBeatLimited(double ticks)
{
    if (!std::isfinite(ticks))
        ticks = 16.0;
    ticksPerBeat = std::clamp(ticks, kMinimumTicksPerBeat, kMaximumTicksPerBeat);
}

void CCorvHost::SetAudioFormat(int newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
}
