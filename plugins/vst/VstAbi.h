#pragma once
// The VST 2.4 binary interface as plug-in files on x86-64 Linux expect it:
// the instance structure, events, time information, the editor rectangle and
// the opcode and flag values this host uses. Written from the published
// binary layout; the static_asserts below pin every offset the host reads,
// since a wrong one would only show as a crash inside someone else's code.

#include <cstddef>
#include <cstdint>

namespace vst {

struct AEffect;

using Dispatcher = std::intptr_t (*)(AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                     void* ptr, float opt);
using HostCallback = std::intptr_t (*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float opt);
using ProcessFloat = void (*)(AEffect* effect, float** inputs, float** outputs, std::int32_t frames);
using ProcessDouble = void (*)(AEffect* effect, double** inputs, double** outputs, std::int32_t frames);
using SetParameterFunction = void (*)(AEffect* effect, std::int32_t index, float value);
using GetParameterFunction = float (*)(AEffect* effect, std::int32_t index);
/// "VSTPluginMain" and the older "main" share this signature.
using EntryFunction = AEffect* (*)(HostCallback callback);

constexpr std::int32_t kEffectMagic = 0x56737450;   // 'VstP'

struct AEffect {
    std::int32_t magic;
    Dispatcher dispatcher;
    ProcessFloat process;   // accumulating; deprecated but still answered by old plug-ins
    SetParameterFunction setParameter;
    GetParameterFunction getParameter;
    std::int32_t numPrograms;
    std::int32_t numParams;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    std::int32_t flags;
    std::intptr_t resvd1;   // the host's own pointer: here, the adapter
    std::intptr_t resvd2;
    std::int32_t initialDelay;
    std::int32_t realQualities;
    std::int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    std::int32_t uniqueID;
    std::int32_t version;
    ProcessFloat processReplacing;
    ProcessDouble processDoubleReplacing;
    char future[56];
};

static_assert(sizeof(AEffect) == 192);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, resvd1) == 64);
static_assert(offsetof(AEffect, resvd2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128);

// AEffect::flags
constexpr std::int32_t effFlagsHasEditor = 1 << 0;
constexpr std::int32_t effFlagsCanReplacing = 1 << 4;
constexpr std::int32_t effFlagsProgramChunks = 1 << 5;
constexpr std::int32_t effFlagsIsSynth = 1 << 8;
constexpr std::int32_t effFlagsNoSoundInStop = 1 << 9;
constexpr std::int32_t effFlagsCanDoubleReplacing = 1 << 12;

// Dispatcher opcodes (host to plug-in).
enum : std::int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effGetProgramNameIndexed = 29,
    effGetPlugCategory = 35,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effCanDo = 51,
    effIdle = 53,
    effGetVstVersion = 58,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetPanLaw = 74,
    effSetProcessPrecision = 77,
};

// Callback opcodes (plug-in to host).
enum : std::int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterTempoAt = 10,
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// Longest texts plug-ins may write into host buffers; hosts give more room
// since many plug-ins overrun the nominal sizes.
constexpr int kVstMaxParamStrLen = 8;
constexpr int kVstMaxProgNameLen = 24;
constexpr int kVstMaxEffectNameLen = 32;
constexpr int kVstMaxVendorStrLen = 64;
constexpr int kHostTextRoom = 256;

constexpr std::int32_t kVstMidiType = 1;

struct VstEvent {
    std::int32_t type;
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    char data[16];
};

struct VstMidiEvent {
    std::int32_t type;
    std::int32_t byteSize;   // sizeof minus type and byteSize: 24
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t noteLength;
    std::int32_t noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

static_assert(sizeof(VstEvent) == 32);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
constexpr std::int32_t kVstMidiEventByteSize = 24;

/// A counted list of event pointers; the declared two is only the minimum,
/// hosts allocate room for as many as they pass.
struct VstEvents {
    std::int32_t numEvents;
    std::intptr_t reserved;
    VstEvent* events[2];
};

static_assert(offsetof(VstEvents, reserved) == 8);
static_assert(offsetof(VstEvents, events) == 16);

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    std::int32_t timeSigNumerator;
    std::int32_t timeSigDenominator;
    std::int32_t smpteOffset;
    std::int32_t smpteFrameRate;
    std::int32_t samplesToNextClock;
    std::int32_t flags;
};

static_assert(offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstTimeInfo) == 88);

constexpr std::int32_t kVstTransportPlaying = 1 << 1;
constexpr std::int32_t kVstNanosValid = 1 << 8;
constexpr std::int32_t kVstPpqPosValid = 1 << 9;
constexpr std::int32_t kVstTempoValid = 1 << 10;
constexpr std::int32_t kVstBarsValid = 1 << 11;
constexpr std::int32_t kVstTimeSigValid = 1 << 13;

struct ERect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

static_assert(sizeof(ERect) == 8);

} // namespace vst
