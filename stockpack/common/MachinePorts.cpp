#include "stockpack/common/MachinePorts.h"

#include <algorithm>
#include <cstddef>

#include "framework/AudioBuffer.h"
#include "framework/Host.h"
#include "framework/Machine.h"

int HostSampleRate(CHost* host)
{
    const int rate = host != nullptr ? host->GetSampleRate() : 0;
    return rate > 0 ? rate : kFallbackSampleRate;
}

int HostBlockSize(CHost* host)
{
    const int length = host != nullptr ? host->GetBlockSize() : 0;
    return length > 0 ? length : kFallbackBlockSize;
}

void CreatePortSlots(CMachine& machine, int count)
{
    // Null until CreatePort fills a slot: DeletePorts may meet them.
    machine.ports = new CPort*[static_cast<std::size_t>(count)]();
    machine.portCount = count;
}

void CreatePort(CMachine& machine, int index, PortInfo port)
{
    // The packed fields are copied out, never bound to a reference.
    CHost* host = machine.host;
    CPort** ports = machine.ports;
    ports[index] = new CPort(host, &machine, port.flags, port.name);
}

void CreatePorts(CMachine& machine, std::initializer_list<PortInfo> ports)
{
    CreatePortSlots(machine, static_cast<int>(ports.size()));
    int index = 0;
    for (const PortInfo& port : ports)
        CreatePort(machine, index++, port);
}

void DeletePorts(CMachine& machine) noexcept
{
    CPort** ports = machine.ports;
    const int count = machine.portCount;
    for (int i = 0; i < count; ++i)
        delete ports[i];
    delete[] ports;
    machine.ports = nullptr;
    machine.portCount = 0;
}

bool HasStereoSamples(const CAudioBuffer* buffer) noexcept
{
    return buffer != nullptr && buffer->left != nullptr && buffer->right != nullptr;
}

bool HasStereoSamples(const CPort* port) noexcept
{
    const CAudioBuffer* audio = port->audio;
    return HasStereoSamples(audio);
}

int StereoLineFrames(CAudioBuffer* out, const CAudioBuffer* in) noexcept
{
    if (!HasStereoSamples(out))
        return 0;
    if (!HasStereoSamples(in)) {
        out->Clear();
        return 0;
    }
    return std::min<int>(out->length, in->length);
}
