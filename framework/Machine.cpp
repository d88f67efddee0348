#include "framework/Machine.h"

#include <cstdlib>
#include <cstring>

#include "framework/AudioBuffer.h"
#include "framework/Host.h"
#include "framework/Port.h"
#include "framework/ProgramRecord.h"
#include "framework/StateBlock.h"

CMachine::CMachine(CHost* host)
    : CBankClient(host),
      ports(nullptr),
      portCount(0),
      parameterCount(0),
      programCount(0),
      currentProgram(0),
      triggerCount(0),
      container(nullptr),
      reservedPointer(nullptr),
      host(host),
      reserved(0),
      reserved2(0),
      name(nullptr),
      programs(nullptr),
      updateDepth(0)
{
}

CMachine::~CMachine()
{
    std::free(name);
    delete[] programs;
}

void CMachine::Release()
{
    delete this;
}

void CMachine::WorkReturns() {}

bool CMachine::GetEditorRect(std::int16_t*, std::int16_t*, std::int16_t*, std::int16_t*)
{
    return false;
}

WindowHandle CMachine::CreateEditor(WindowHandle)
{
    return nullptr;
}

void CMachine::ShowEditor() {}
void CMachine::CloseEditor() {}
void CMachine::Idle() {}

double CMachine::GetParameter(int)
{
    return 0.0;
}

bool CMachine::HasValidProgram() const
{
    return programs != nullptr && currentProgram >= 0 && currentProgram < programCount &&
           programs[currentProgram] != nullptr;
}

void CMachine::SetParameter(int index, double value)
{
    if (index < 0 || index >= parameterCount)
        return;
    if (HasValidProgram()) {
        CProgramRecord* program = programs[currentProgram];
        if (index < program->valueCount && program->values != nullptr)
            program->values[index] = value;
    }
}

void CMachine::SetParameterNotify(int index, double value)
{
    if (host != nullptr)
        host->OnParameterChanged(this, index, value);
    SetParameter(index, value);
}

void CMachine::GetParameterName(int, char* out)
{
    out[0] = '\0';
}

void CMachine::FormatCurrentParameter(int index, char* out)
{
    FormatParameter(index, GetParameter(index), out);
}

void CMachine::FormatParameter(int, double, char* out)
{
    out[0] = '\0';
}

void CMachine::GetNoteName(int, char* out)
{
    out[0] = '\0';
}

void CMachine::SetProgram(int index)
{
    if (programs == nullptr || index < 0 || index >= programCount || programs[index] == nullptr)
        return;
    BeginParameterUpdate();
    currentProgram = index;
    const CProgramRecord* program = programs[index];
    for (int i = 0; i < parameterCount && i < program->valueCount; ++i)
        SetParameter(i, program->values[i]);
    EndParameterUpdate();
}

void CMachine::GetProgramName(char* out)
{
    if (HasValidProgram())
        std::strcpy(out, programs[currentProgram]->name);
    else
        out[0] = '\0';
}

void CMachine::SetProgramName(const char* newName)
{
    if (!HasValidProgram() || newName == nullptr)
        return;
    char* target = programs[currentProgram]->name;
    std::strncpy(target, newName, CProgramRecord::kNameLength - 1);
    target[CProgramRecord::kNameLength - 1] = '\0';
}

void CMachine::GetProgramNameIndexed(int index, char* out)
{
    if (programs != nullptr && index >= 0 && index < programCount && programs[index] != nullptr)
        std::strcpy(out, programs[index]->name);
    else
        out[0] = '\0';
}

int CMachine::GetProgram()
{
    return currentProgram;
}

void CMachine::ResizePortBuffers(int length)
{
    for (int i = 0; i < portCount; ++i) {
        if (ports[i] != nullptr && ports[i]->audio != nullptr)
            ports[i]->audio->Resize(length);
    }
}

void CMachine::BeginParameterUpdate()
{
    ++updateDepth;
}

void CMachine::EndParameterUpdate()
{
    --updateDepth;
}

void CMachine::SetName(const char* newName)
{
    // Copy before freeing: the new name may be the current one.
    char* copy = newName != nullptr ? strdup(newName) : nullptr;
    std::free(name);
    name = copy;
}

const char* CMachine::GetName()
{
    return name;
}

void CMachine::LoadState(const void* data, int length, bool)
{
    // The count comes from the block, not from parameterCount: SetParameter
    // ignores indexes this machine does not have. Only values the block
    // really holds are read.
    const std::vector<double> values = DecodeStateBlock(data, length);
    for (std::size_t i = 0; i < values.size(); ++i)
        SetParameterNotify(static_cast<int>(i), values[i]);
}

void CMachine::SaveState(void** data, int* length, bool* hostFormat)
{
    const int count = parameterCount > 0 ? parameterCount : 0;
    std::vector<double> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        values[static_cast<std::size_t>(i)] = GetParameter(i);
    *data = EncodeStateBlock(values.data(), count, length);
    *hostFormat = true;
}
