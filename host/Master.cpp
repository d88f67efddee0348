#include "host/Master.h"

#include <cstdio>

#include "framework/Port.h"
#include "host/CorvHost.h"

CMaster::CMaster(CCorvHost* host) : CMachine(host), corvHost(host) {}

CMaster::~CMaster()
{
    DeletePorts();
}

void CMaster::DeletePorts()
{
    for (int i = 0; i < portCount; ++i)
        delete ports[i];
    delete[] ports;
    ports = nullptr;
    portCount = 0;
}

bool CMaster::UpdateInputs()
{
    const int channels = corvHost != nullptr ? corvHost->GetOutputChannelCount() : 2;
    if (channels == 1) {
        if (portCount == 1 && !(ports[0]->flags & kPortStereo))
            return false;
        DeletePorts();
        ports = new CPort*[1];
        ports[0] = new CPort(host, this, kPortAudio | kPortInput, "Line In");
        portCount = 1;
        return true;
    }
    if (channels == 2) {
        if (portCount == 1 && (ports[0]->flags & kPortStereo))
            return false;
        DeletePorts();
        ports = new CPort*[1];
        ports[0] = new CPort(host, this, kPortAudio | kPortInput | kPortStereo, "Line In");
        portCount = 1;
        return true;
    }
    if (channels > 2) {
        if (portCount == channels)
            return false;
        DeletePorts();
        ports = new CPort*[static_cast<std::size_t>(channels)];
        for (int i = 0; i < channels; ++i) {
            char portName[32];
            std::snprintf(portName, sizeof portName, "Channel %i", i + 1);
            ports[i] = new CPort(host, this, kPortAudio | kPortInput, portName);
        }
        portCount = channels;
        return true;
    }
    DeletePorts();
    return true;
}

CMasterInfo::CMasterInfo(CCorvHost* host) : host(host)
{
    name = "Master";
    identifier = "Master";
}

CMachine* CMasterInfo::CreateMachine()
{
    auto* master = new CMaster(host);
    master->UpdateInputs();
    return master;
}
