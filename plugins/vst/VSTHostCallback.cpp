#include "plugins/vst/VSTHostCallback.h"

#include <cmath>
#include <cstring>

#include "framework/Host.h"
#include "plugins/vst/VSTAdapter.h"
#include "plugins/vst/VSTAdapterList.h"

namespace {

thread_local CHost* entryHost = nullptr;

constexpr const char* kCapabilities[] = {"sendVstEvents",       "sendVstMidiEvent", "sendVstTimeInfo",
                                         "receiveVstEvents",    "receiveVstMidiEvent", "receiveVstTimeInfo",
                                         "supplyIdle"};

/// The opcodes answered for any caller, bound or not. Null host: nothing
/// known, 0.
bool AnswerUnbound(CHost* host, std::int32_t opcode, void* ptr, std::intptr_t* answer)
{
    switch (opcode) {
    case vst::audioMasterVersion:
        *answer = vst_host::kVersion;
        return true;
    case vst::audioMasterGetSampleRate:
        *answer = host != nullptr ? host->GetSampleRate() : 0;
        return true;
    case vst::audioMasterGetBlockSize:
        *answer = host != nullptr ? host->GetBlockSize() : 0;
        return true;
    case vst::audioMasterGetVendorString:
        if (ptr != nullptr)
            std::strcpy(static_cast<char*>(ptr), vst_host::kVendor);
        *answer = ptr != nullptr ? 1 : 0;
        return true;
    case vst::audioMasterCanDo:
        *answer = vst_host::CanDo(static_cast<const char*>(ptr));
        return true;
    default:
        return false;
    }
}

} // namespace

std::intptr_t vst_host::CanDo(const char* capability)
{
    if (capability == nullptr)
        return 0;
    for (const char* known : kCapabilities) {
        if (std::strcmp(capability, known) == 0)
            return 1;
    }
    return 0;
}

VSTEntryScope::VSTEntryScope(CHost* host) : previous(entryHost)
{
    entryHost = host;
}

VSTEntryScope::~VSTEntryScope()
{
    entryHost = previous;
}

std::intptr_t VSTHostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                              void* ptr, float opt)
{
    // Bound: no lock at all, since plug-ins call GetTime and IOChanged from
    // inside processing, where the audio thread already holds the machine
    // lock and must not wait on anything else.
    auto* adapter = effect != nullptr ? reinterpret_cast<CVSTAdapter*>(effect->resvd1) : nullptr;
    if (adapter != nullptr)
        return adapter->Callback(opcode, index, value, ptr, opt);

    std::intptr_t answer = 0;
    if (AnswerUnbound(entryHost, opcode, ptr, &answer))
        return answer;
    // Calls that come from inside processing never search: the search takes
    // the list lock, which the idle thread may hold while it waits for the
    // machine lock this audio thread already has.
    if (opcode == vst::audioMasterGetTime || opcode == vst::audioMasterProcessEvents ||
        opcode == vst::audioMasterIOChanged)
        return 0;
    adapter = vst_adapters::FindByEffect(effect);
    if (adapter == nullptr)
        return 0;
    adapter->Lock();
    answer = adapter->Callback(opcode, index, value, ptr, opt);
    adapter->Unlock();
    return answer;
}

std::intptr_t CVSTAdapter::Callback(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt)
{
    switch (opcode) {
    case vst::audioMasterAutomate:
        if (host != nullptr)
            host->OnParameterChanged(this, index, static_cast<double>(opt));
        return 0;
    case vst::audioMasterVersion:
        return vst_host::kVersion;
    case vst::audioMasterIdle:
    case vst::audioMasterNeedIdle:
        needsIdle = true;
        return 0;
    case vst::audioMasterWantMidi:
        wantsMidi = true;
        return 1;
    case vst::audioMasterGetTime:
        FillTimeInfo(value);
        return reinterpret_cast<std::intptr_t>(&timeInfo);
    case vst::audioMasterTempoAt:
        return host != nullptr ? static_cast<std::intptr_t>(std::trunc(host->GetTempo() * 10000.0)) : 0;
    case vst::audioMasterGetSampleRate:
        return host != nullptr ? host->GetSampleRate() : sampleRate;
    case vst::audioMasterGetBlockSize:
        return host != nullptr ? host->GetBlockSize() : blockLength;
    case vst::audioMasterGetVendorString:
        if (ptr == nullptr)
            return 0;
        std::strcpy(static_cast<char*>(ptr), vst_host::kVendor);
        return 1;
    case vst::audioMasterCanDo:
        return vst_host::CanDo(static_cast<const char*>(ptr));
    case vst::audioMasterGetDirectory:
        return reinterpret_cast<std::intptr_t>(folder.c_str());
    case vst::audioMasterSizeWindow:
        return ResizeEditor(index, static_cast<int>(value)) ? 1 : 0;
    default:
        return 0;
    }
}

void CVSTAdapter::FillTimeInfo(std::intptr_t wanted)
{
    timeInfo = vst::VstTimeInfo{};
    timeInfo.samplePos = host != nullptr ? host->GetSampleCounter() : 0;
    timeInfo.sampleRate = sampleRate;
    if ((wanted & vst::kVstTempoValid) != 0) {
        timeInfo.tempo = host != nullptr ? host->GetTempo() : 0.0;
        timeInfo.flags |= vst::kVstTempoValid;
    }
    if ((wanted & vst::kVstTimeSigValid) != 0) {
        timeInfo.timeSigNumerator = 1;
        timeInfo.timeSigDenominator = 4;
        timeInfo.flags |= vst::kVstTimeSigValid;
    }
}
