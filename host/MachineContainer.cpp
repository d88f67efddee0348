#include "host/MachineContainer.h"

#include <algorithm>

#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "host/Connector.h"

CMachineContainer::CMachineContainer(CMachine* machine, CMachineInfo* descriptor, const char* name, int x, int y,
                                     const void* stateBlock, int stateLength, bool stateHostFormat)
    : machine(machine), descriptor(descriptor), x(std::max(0, x)), y(std::max(0, y))
{
    if (descriptor != nullptr && descriptor->identifier != nullptr)
        identifier = descriptor->identifier;
    if (stateBlock != nullptr)
        machine->LoadState(stateBlock, stateLength, stateHostFormat);
    machine->container = this;
    SetName(name);
    RebuildConnectors();
    done.Create(0, 0x7fffffff);
    worker.Resume();
}

CMachineContainer::~CMachineContainer()
{
    worker.Shutdown();
    done.Close();
    DeleteConnectors();
    machine->container = nullptr;
    ReleaseMachine(machine);
}

void CMachineContainer::DeleteConnectors()
{
    for (CConnector* connector : connectors)
        delete connector;
    connectors.clear();
}

void CMachineContainer::RebuildConnectors()
{
    DeleteConnectors();
    connectors.reserve(static_cast<std::size_t>(std::max(0, machine->portCount)));
    for (int i = 0; i < machine->portCount; ++i)
        connectors.push_back(new CConnector(machine->ports[i], this));
}

void CMachineContainer::SetName(const char* newName)
{
    name = newName != nullptr ? newName : "";
    machine->SetName(name.c_str());
}

void CMachineContainer::MoveTo(int newX, int newY)
{
    x = std::max(0, newX);
    y = std::max(0, newY);
}

CConnector* CMachineContainer::ConnectorForPort(const void* port) const
{
    for (CConnector* connector : connectors) {
        if (connector->port == port)
            return connector;
    }
    return nullptr;
}
