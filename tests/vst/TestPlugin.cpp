// The test plug-ins: one source, built into several plug-in files that
// differ by the definitions CMake gives (TEST_PLUGIN_KIND and the unique ID).
// Each keeps a probe the tests read through the exported "CorvaneTestProbe":
// the opcodes it was sent in order, the events and chunk it received, and
// what the host answered during the entry call.

#include <csignal>
#include <cstdint>
#include <cstring>
#include <unistd.h>

#include "plugins/vst/VstAbi.h"
#include "tests/vst/TestPluginProbe.h"

#define KIND_STEREO 1
#define KIND_ONE_TO_FOUR 2
#define KIND_SYNTH 3
#define KIND_CHUNK 4
#define KIND_CRASH 5
#define KIND_HANG 6
#define KIND_NO_ENTRY 7
#define KIND_NULL_EFFECT 8
#define KIND_REJECTS_EVENTS 9

#ifndef TEST_PLUGIN_UNIQUE_ID
#define TEST_PLUGIN_UNIQUE_ID 0x54535431
#endif

namespace {

TestPluginProbe probe{};
vst::AEffect effect{};
vst::HostCallback host = nullptr;
float parameters[4] = {1.0f, 0.25f, 0.5f, 0.0f};
int program = 0;
unsigned char chunk[] = {'c', 'h', 'u', 'n', 'k', 0, 1, 2, 3, 0xfe, 0xff};
vst::ERect rect{0, 0, 120, 200};

void Record(std::int32_t opcode)
{
    if (probe.opcodeCount < kProbeOpcodes)
        probe.opcodes[probe.opcodeCount] = opcode;
    ++probe.opcodeCount;
}

std::intptr_t Dispatcher(vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                         float opt)
{
    Record(opcode);
    switch (opcode) {
    case vst::effSetSampleRate:
        probe.sampleRate = opt;
        return 0;
    case vst::effSetBlockSize:
        probe.blockSize = static_cast<int>(value);
        return 0;
    case vst::effCanDo:
        // The synth says no to MIDI here and relies on its synth flag.
        return TEST_PLUGIN_KIND == KIND_REJECTS_EVENTS &&
                       std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0
                   ? 1
                   : 0;
    case vst::effProcessEvents: {
        ++probe.processEventsCalls;
        const auto* events = static_cast<const vst::VstEvents*>(ptr);
        for (int i = 0; i < events->numEvents && probe.eventCount < kProbeEvents; ++i) {
            const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(events->events[i]);
            TestPluginProbe::Event& event = probe.events[probe.eventCount++];
            event.type = midi->type;
            event.byteSize = midi->byteSize;
            event.deltaFrames = midi->deltaFrames;
            std::memcpy(event.data, midi->midiData, 3);
        }
        return TEST_PLUGIN_KIND == KIND_REJECTS_EVENTS ? 0 : 1;
    }
    case vst::effGetChunk:
        if (TEST_PLUGIN_KIND != KIND_CHUNK)
            return 0;
        probe.getChunkIndex = index;
        *static_cast<void**>(ptr) = chunk;
        return sizeof chunk;
    case vst::effSetChunk:
        probe.setChunkIndex = index;
        probe.setChunkSize = static_cast<int>(value);
        std::memcpy(probe.setChunk, ptr, static_cast<std::size_t>(value) < sizeof probe.setChunk ? value : sizeof probe.setChunk);
        return 0;
    case vst::effGetParamName:
        std::strcpy(static_cast<char*>(ptr), index == 0 ? "Gain" : "Other");
        return 0;
    case vst::effGetParamDisplay:
        std::strcpy(static_cast<char*>(ptr), "0.50");
        return 0;
    case vst::effGetParamLabel:
        std::strcpy(static_cast<char*>(ptr), "dB");
        return 0;
    case vst::effSetProgram:
        program = static_cast<int>(value);
        return 0;
    case vst::effGetProgramNameIndexed:
        if (index != 0)
            return 0;
        std::strcpy(static_cast<char*>(ptr), "First");
        return 1;
    case vst::effIdle:
        return ++probe.idleCalls < 3 ? 1 : 0;
    case vst::effEditGetRect:
        *static_cast<vst::ERect**>(ptr) = &rect;
        return 1;
    case vst::effOpen: {
        // A plug-in asks the host about itself while opening.
        probe.directory = reinterpret_cast<const char*>(host(&effect, vst::audioMasterGetDirectory, 0, 0, nullptr, 0));
        // Idle time wanted, for three passes.
        host(&effect, vst::audioMasterNeedIdle, 0, 0, nullptr, 0);
        return 0;
    }
    default:
        return 0;
    }
}

void ProcessReplacing(vst::AEffect*, float** inputs, float** outputs, std::int32_t frames)
{
    ++probe.processCalls;
    // Like most plug-ins, ask for the time from inside processing.
    const auto* time = reinterpret_cast<const vst::VstTimeInfo*>(
        host(&effect, vst::audioMasterGetTime, 0, vst::kVstTempoValid | vst::kVstTimeSigValid, nullptr, 0));
    if (time != nullptr) {
        probe.timeFlags = time->flags;
        probe.tempo = time->tempo;
        probe.timeSigNumerator = time->timeSigNumerator;
        probe.timeSigDenominator = time->timeSigDenominator;
    }
    for (int o = 0; o < effect.numOutputs; ++o) {
        for (int s = 0; s < frames; ++s) {
            if (TEST_PLUGIN_KIND == KIND_SYNTH)
                outputs[o][s] = 0.5f;
            else if (effect.numInputs == 0)
                outputs[o][s] = 0.0f;
            else
                outputs[o][s] = inputs[o % effect.numInputs][s] * parameters[0] * static_cast<float>(
                    TEST_PLUGIN_KIND == KIND_ONE_TO_FOUR ? o + 1 : 1);
        }
    }
}

void SetParameter(vst::AEffect*, std::int32_t index, float value)
{
    if (index >= 0 && index < 4)
        parameters[index] = value;
}

float GetParameter(vst::AEffect*, std::int32_t index)
{
    return index >= 0 && index < 4 ? parameters[index] : 0.0f;
}

vst::AEffect* Create(vst::HostCallback callback)
{
    host = callback;
    probe.entryVersion = callback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0);
    probe.entrySampleRate = callback(nullptr, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0);
    probe.entryBlockSize = callback(nullptr, vst::audioMasterGetBlockSize, 0, 0, nullptr, 0);
    callback(nullptr, vst::audioMasterGetVendorString, 0, 0, probe.entryVendor, 0);
    if (TEST_PLUGIN_KIND == KIND_CRASH)
        raise(SIGSEGV);
    if (TEST_PLUGIN_KIND == KIND_HANG) {
        for (;;)
            pause();
    }
    if (TEST_PLUGIN_KIND == KIND_NULL_EFFECT)
        return nullptr;
    effect = vst::AEffect{};
    effect.magic = vst::kEffectMagic;
    effect.dispatcher = &Dispatcher;
    effect.setParameter = &SetParameter;
    effect.getParameter = &GetParameter;
    effect.processReplacing = &ProcessReplacing;
    effect.numParams = 4;
    effect.numPrograms = 2;
    effect.numInputs = TEST_PLUGIN_KIND == KIND_SYNTH ? 0 : TEST_PLUGIN_KIND == KIND_ONE_TO_FOUR ? 1 : 2;
    effect.numOutputs = TEST_PLUGIN_KIND == KIND_ONE_TO_FOUR ? 4 : 2;
    effect.flags = vst::effFlagsCanReplacing | vst::effFlagsHasEditor;
    if (TEST_PLUGIN_KIND == KIND_SYNTH)
        effect.flags |= vst::effFlagsIsSynth;
    if (TEST_PLUGIN_KIND == KIND_CHUNK)
        effect.flags |= vst::effFlagsProgramChunks;
    effect.uniqueID = static_cast<std::int32_t>(TEST_PLUGIN_UNIQUE_ID);
    effect.version = 1;
    return &effect;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) TestPluginProbe* CorvaneTestProbe()
{
    return &probe;
}

#if TEST_PLUGIN_KIND != KIND_NO_ENTRY
__attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::HostCallback callback)
{
    return Create(callback);
}
#endif
}
