#include "plugins/vst/VSTAdapter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/Host.h"
#include "framework/Port.h"
#include "plugins/vst/VSTAdapterInfo.h"
#include "plugins/vst/VSTAdapterList.h"
#include "plugins/vst/VSTEditorWindow.h"
#include "plugins/vst/VSTHostCallback.h"

namespace {

float* AllocateFloats(int length)
{
    const std::size_t bytes = (static_cast<std::size_t>(std::max(length, 1)) * sizeof(float) + 15) & ~std::size_t{15};
    auto* samples = static_cast<float*>(std::aligned_alloc(16, bytes));
    if (samples != nullptr)
        std::memset(samples, 0, bytes);
    return samples;
}

} // namespace

CVSTAdapter::CVSTAdapter(CHost* host, CVSTAdapterInfo* info)
    : CMachine(host), info(info), folder(info->Folder()), sampleRate(host != nullptr ? host->GetSampleRate() : 44100),
      blockLength(host != nullptr ? host->GetBlockSize() : 512)
{
    vst_adapters::LockList();
    vst_adapters::Append(this);

    {
        // Calls made from inside the entry function, before the adapter is
        // known, are answered from this host.
        VSTEntryScope scope(host);
        effect = info->Entry() != nullptr ? info->Entry()(&VSTHostCallback) : nullptr;
    }
    if (effect != nullptr && effect->magic != vst::kEffectMagic)
        effect = nullptr;
    if (effect != nullptr) {
        effect->resvd1 = reinterpret_cast<std::intptr_t>(this);
        parameterCount = std::max(effect->numParams, 0);
        programCount = std::max(effect->numPrograms, 0);
        uniqueId = effect->uniqueID;
        inputCount = std::max(effect->numInputs, 0);
        outputCount = std::max(effect->numOutputs, 0);
        doublePrecision = (effect->flags & vst::effFlagsCanDoubleReplacing) != 0 &&
                          effect->processDoubleReplacing != nullptr;

        // Rate and block length go before effOpen: some plug-ins size their
        // buffers in effOpen and crash without them.
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        Dispatch(vst::effSetBlockSize, 0, blockLength);
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetPanLaw, 0, 0, nullptr, 0.70710677f);
        Dispatch(vst::effMainsChanged, 0, 1);
        Dispatch(vst::effStartProcess);

        char receive[] = "receiveVstMidiEvent";
        if (Dispatch(vst::effCanDo, 0, 0, receive) != 0 || (effect->flags & vst::effFlagsIsSynth) != 0)
            wantsMidi = true;
        CreatePorts();
    }
    vst_adapters::UnlockList();
}

CVSTAdapter::~CVSTAdapter()
{
    if (effect != nullptr) {
        Dispatch(vst::effStopProcess);
        Dispatch(vst::effMainsChanged, 0, 0);
        if (editor != nullptr) {
            Dispatch(vst::effEditClose);
            delete editor;
            editor = nullptr;
        }
        Dispatch(vst::effClose);
    }
    vst_adapters::LockList();
    vst_adapters::Unlink(this);
    vst_adapters::UnlockList();
    vst_adapters::ReleaseWhenEmpty();

    FreeFloatBuffers();
    delete[] inputs64;
    delete[] outputs64;
    delete[] inputPorts;
    delete[] outputPorts;
    std::free(events);
    delete[] midiEvents;
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
    ports = nullptr;
    portCount = 0;
    effect = nullptr;
    info->InstanceDestroyed();
}

std::intptr_t CVSTAdapter::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt)
{
    if (effect == nullptr || effect->dispatcher == nullptr)
        return 0;
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void CVSTAdapter::CreatePorts()
{
    const bool stereoIn = inputCount == 2;
    const bool stereoOut = outputCount == 2;
    const int inputPortCount = stereoIn ? 1 : inputCount;
    const int outputPortCount = stereoOut ? 1 : outputCount;
    const bool control = wantsMidi;
    ports = new CPort*[static_cast<std::size_t>(control + inputPortCount + outputPortCount)];
    portCount = 0;
    if (control) {
        controlPort = new CPort(host, this, kPortControl | kPortInput, "Control In");
        controlPort->control->Reserve(kEventCapacity);
        ports[portCount++] = controlPort;
    }
    char portName[64];
    inputPorts = new CPort*[static_cast<std::size_t>(std::max(inputCount, 1))];
    for (int i = 0; i < inputPortCount; ++i) {
        std::snprintf(portName, sizeof portName, "Line In %i", i + 1);
        CPort* port = new CPort(host, this, kPortAudio | kPortInput | (stereoIn ? kPortStereo : 0), portName);
        ports[portCount++] = port;
        for (int channel = 0; channel < (stereoIn ? 2 : 1); ++channel)
            inputPorts[i + channel] = port;
    }
    outputPorts = new CPort*[static_cast<std::size_t>(std::max(outputCount, 1))];
    for (int i = 0; i < outputPortCount; ++i) {
        std::snprintf(portName, sizeof portName, "Line Out %i", i + 1);
        CPort* port = new CPort(host, this, kPortAudio | kPortOutput | (stereoOut ? kPortStereo : 0), portName);
        ports[portCount++] = port;
        for (int channel = 0; channel < (stereoOut ? 2 : 1); ++channel)
            outputPorts[i + channel] = port;
    }

    inputs64 = new double*[static_cast<std::size_t>(std::max(inputCount, 1))]();
    outputs64 = new double*[static_cast<std::size_t>(std::max(outputCount, 1))]();
    if (!doublePrecision)
        AllocateFloatBuffers();
    BindChannels();

    // Room for the most events one block passes, so that Work never
    // allocates.
    const std::size_t eventBytes = sizeof(vst::VstEvents) + sizeof(vst::VstEvent*) * kEventCapacity;
    events = static_cast<vst::VstEvents*>(std::calloc(1, eventBytes));
    midiEvents = new vst::VstMidiEvent[kEventCapacity]();
}

void CVSTAdapter::AllocateFloatBuffers()
{
    floatLength = blockLength;
    inputs32 = new float*[static_cast<std::size_t>(std::max(inputCount, 1))]();
    outputs32 = new float*[static_cast<std::size_t>(std::max(outputCount, 1))]();
    for (int i = 0; i < inputCount; ++i)
        inputs32[i] = AllocateFloats(floatLength);
    for (int i = 0; i < outputCount; ++i)
        outputs32[i] = AllocateFloats(floatLength);
}

void CVSTAdapter::FreeFloatBuffers()
{
    for (int i = 0; inputs32 != nullptr && i < inputCount; ++i)
        std::free(inputs32[i]);
    for (int i = 0; outputs32 != nullptr && i < outputCount; ++i)
        std::free(outputs32[i]);
    delete[] inputs32;
    delete[] outputs32;
    inputs32 = outputs32 = nullptr;
    floatLength = 0;
}

void CVSTAdapter::BindChannels()
{
    // A stereo port carries two consecutive channels, left then right.
    for (int i = 0; i < inputCount; ++i) {
        CAudioBuffer* buffer = inputPorts[i]->audio;
        const bool right = inputCount == 2 && i == 1;
        inputs64[i] = buffer == nullptr ? nullptr : right ? buffer->right : buffer->left;
    }
    for (int i = 0; i < outputCount; ++i) {
        CAudioBuffer* buffer = outputPorts[i]->audio;
        const bool right = outputCount == 2 && i == 1;
        outputs64[i] = buffer == nullptr ? nullptr : right ? buffer->right : buffer->left;
    }
}

void CVSTAdapter::PassEvents()
{
    CControlBuffer* queue = controlPort->control;
    if (queue->Count() == 0)
        return;
    if (!wantsMidi) {
        queue->Clear();
        return;
    }
    int count = 0;
    ControlEvent event;
    while (queue->Pop(&event)) {
        if ((event.type != kEventNoteOn && event.type != kEventNoteOff) || count == kEventCapacity)
            continue;
        vst::VstMidiEvent& midi = midiEvents[count];
        midi = vst::VstMidiEvent{};
        midi.type = vst::kVstMidiType;
        midi.byteSize = vst::kVstMidiEventByteSize;
        midi.deltaFrames = event.time;
        const bool on = event.type == kEventNoteOn;
        midi.midiData[0] = static_cast<char>(on ? 0x90 : 0x80);
        midi.midiData[1] = static_cast<char>(event.index & 0x7F);
        // Truncated, as 0.5 must give 63; out-of-range values are held to
        // the MIDI range rather than wrapped.
        const double velocity = on ? std::clamp(event.value, 0.0, 1.0) * 127.0 : 0.0;
        midi.midiData[2] = static_cast<char>(static_cast<int>(velocity));
        events->events[count] = reinterpret_cast<vst::VstEvent*>(&midi);
        ++count;
    }
    events->numEvents = count;
    if (count > 0 && Dispatch(vst::effProcessEvents, 0, 0, events) == 0)
        wantsMidi = false;
}

void CVSTAdapter::Work()
{
    if (effect == nullptr)
        return;
    if (controlPort != nullptr)
        PassEvents();

    int frames = blockLength;
    for (int i = 0; i < inputCount; ++i)
        frames = inputs64[i] == nullptr ? 0 : std::min(frames, static_cast<int>(inputPorts[i]->audio->length));
    for (int i = 0; i < outputCount; ++i)
        frames = outputs64[i] == nullptr ? 0 : std::min(frames, static_cast<int>(outputPorts[i]->audio->length));
    if (frames <= 0)
        return;

    if (doublePrecision) {
        effect->processDoubleReplacing(effect, inputs64, outputs64, frames);
        return;
    }
    frames = std::min(frames, static_cast<int>(floatLength));
    for (int i = 0; i < inputCount; ++i) {
        const double* from = inputs64[i];
        float* to = inputs32[i];
        for (int s = 0; s < frames; ++s)
            to[s] = static_cast<float>(from[s]);
    }
    if ((effect->flags & vst::effFlagsCanReplacing) != 0 && effect->processReplacing != nullptr) {
        effect->processReplacing(effect, inputs32, outputs32, frames);
    } else if (effect->process != nullptr) {
        for (int i = 0; i < outputCount; ++i)
            std::memset(outputs32[i], 0, sizeof(float) * static_cast<std::size_t>(frames));
        effect->process(effect, inputs32, outputs32, frames);
    }
    for (int i = 0; i < outputCount; ++i) {
        const float* from = outputs32[i];
        double* to = outputs64[i];
        for (int s = 0; s < frames; ++s)
            to[s] = from[s];
    }
}

void CVSTAdapter::SetSampleRate(int rate)
{
    sampleRate = rate;
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void CVSTAdapter::SetBlockSize(int length)
{
    blockLength = length;
    if (effect == nullptr)
        return;
    if (!doublePrecision) {
        FreeFloatBuffers();
        AllocateFloatBuffers();
    }
    BindChannels();
    Dispatch(vst::effSetBlockSize, 0, length);
}

bool CVSTAdapter::IsInstrument()
{
    return effect != nullptr && (effect->flags & vst::effFlagsIsSynth) != 0;
}

void CVSTAdapter::IdlePass()
{
    if (effect != nullptr && needsIdle && Dispatch(vst::effIdle) == 0)
        needsIdle = false;
}

WindowHandle CVSTAdapter::EditorHandle() const
{
    return editor != nullptr ? editor->Handle() : nullptr;
}
