#include "tests/sequencing/RecordingMachine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/ControlBuffer.h"
#include "framework/Port.h"

namespace sequencing_test {

CRecordingMachine::CRecordingMachine(CHost* host, int parameters, int triggers, bool secondControlInput)
    : CMachine(host), values(static_cast<std::size_t>(parameters), 0.0)
{
    portCount = secondControlInput ? 3 : 2;
    ports = new CPort*[static_cast<std::size_t>(portCount)];
    ports[0] = new CPort(host, this, kPortControl | kPortInput, "Control In");
    ports[1] = new CPort(host, this, kPortAudio | kPortOutput, "Line Out");
    if (secondControlInput)
        ports[2] = new CPort(host, this, kPortControl | kPortInput, "Control In 2");
    parameterCount = parameters;
    triggerCount = triggers;
    received.reserve(kRecordCapacity);
}

CRecordingMachine::~CRecordingMachine()
{
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
}

void CRecordingMachine::Work()
{
    for (int i = 0; i < portCount; ++i) {
        CControlBuffer* control = ports[i]->control;
        if (control == nullptr || !(ports[i]->flags & kPortInput))
            continue;
        ControlEvent event;
        while (control->Pop(&event)) {
            if (received.size() < received.capacity())
                received.push_back({blocks, event});
        }
    }
    ++blocks;
}

double CRecordingMachine::GetParameter(int index)
{
    return index >= 0 && index < parameterCount ? values[static_cast<std::size_t>(index)] : 0.0;
}

void CRecordingMachine::SetParameter(int index, double value)
{
    if (index >= 0 && index < parameterCount)
        values[static_cast<std::size_t>(index)] = value;
}

void CRecordingMachine::GetParameterName(int index, char* out)
{
    if (index % 2 == 0)
        std::sprintf(out, "Param %i", index);
    else
        out[0] = '\0';
}

void CRecordingMachine::FormatParameter(int, double value, char* out)
{
    std::sprintf(out, "%.3f", value);
}

void CRecordingMachine::GetNoteName(int note, char* out)
{
    std::sprintf(out, "Pad %i", note);
}

std::vector<CReceived> CRecordingMachine::OfType(int type) const
{
    std::vector<CReceived> found;
    for (const CReceived& item : received) {
        if (item.event.type == type)
            found.push_back(item);
    }
    return found;
}

std::vector<long> CRecordingMachine::SamplesOf(int type, int blockSize) const
{
    std::vector<long> samples;
    for (const CReceived& item : OfType(type))
        samples.push_back(static_cast<long>(item.block) * blockSize + item.event.time);
    return samples;
}

void CCustomStateMachine::LoadState(const void* data, int length, bool hostFormat)
{
    loaded = true;
    loadedHostFormat = hostFormat;
    ownState.assign(static_cast<const char*>(data), static_cast<std::size_t>(length));
}

void CCustomStateMachine::SaveState(void** data, int* length, bool* hostFormat)
{
    *length = static_cast<int>(ownState.size());
    *data = std::malloc(ownState.size() + 1);
    std::memcpy(*data, ownState.data(), ownState.size());
    *hostFormat = false;
}

CRecordingMachineInfo::CRecordingMachineInfo(CHost* host, const char* typeName, const char* typeIdentifier,
                                             int parameters, int triggers, Kind kind, bool secondControlInput)
    : host(host), parameters(parameters), triggers(triggers), kind(kind), secondControlInput(secondControlInput)
{
    name = typeName;
    identifier = typeIdentifier;
}

CMachine* CRecordingMachineInfo::CreateMachine()
{
    if (kind == Kind::CustomState)
        return new CCustomStateMachine(host);
    return new CRecordingMachine(host, parameters, triggers, secondControlInput);
}

} // namespace sequencing_test
