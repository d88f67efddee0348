// A VST 2 plug-in that copies its two inputs to its two outputs and takes
// MIDI events without doing anything with them: the cheapest plug-in there
// can be, so that what the benchmark measures around it is the host's.

#include <cstdint>
#include <cstring>

#include "plugins/vst/VstAbi.h"

namespace {

vst::AEffect effect{};

std::intptr_t Dispatcher(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    if (opcode == vst::effCanDo)
        return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : 0;
    if (opcode == vst::effProcessEvents)
        return 1;
    return 0;
}

void ProcessReplacing(vst::AEffect*, float** inputs, float** outputs, std::int32_t frames)
{
    for (int channel = 0; channel < 2; ++channel)
        std::memcpy(outputs[channel], inputs[channel], sizeof(float) * static_cast<std::size_t>(frames));
}

float GetParameter(vst::AEffect*, std::int32_t)
{
    return 0.0f;
}

void SetParameter(vst::AEffect*, std::int32_t, float) {}

} // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::HostCallback)
{
    effect = vst::AEffect{};
    effect.magic = vst::kEffectMagic;
    effect.dispatcher = &Dispatcher;
    effect.processReplacing = &ProcessReplacing;
    effect.getParameter = &GetParameter;
    effect.setParameter = &SetParameter;
    effect.numInputs = 2;
    effect.numOutputs = 2;
    effect.flags = vst::effFlagsCanReplacing;
    effect.uniqueID = 0x50415353;
    return &effect;
}
