#include "host/Connector.h"

#include "framework/Connection.h"
#include "framework/ControlBuffer.h"
#include "framework/Error.h"
#include "framework/Port.h"

CConnector::CConnector(CPort* port, CMachineContainer* owner) : port(port), owner(owner)
{
    if (IsControl() && IsInput())
        deferred = new CControlBuffer;
    // Cables are added on the user-interface thread; room for a few keeps
    // the common case from reallocating at all.
    connections.reserve(4);
}

CConnector::~CConnector()
{
    for (CConnection* connection : connections) {
        if (connection->source != nullptr)
            --connection->source->outgoing;
        delete connection;
    }
    delete deferred;
}

bool CConnector::IsInput() const
{
    return (port->flags & kPortInput) != 0;
}

bool CConnector::IsOutput() const
{
    return (port->flags & kPortOutput) != 0;
}

bool CConnector::IsAudio() const
{
    return (port->flags & kPortAudio) != 0;
}

bool CConnector::IsControl() const
{
    return (port->flags & kPortControl) != 0;
}

bool CConnector::IsAuxiliary() const
{
    return (port->flags & kPortAuxiliary) != 0;
}

CConnection* CConnector::Connect(CConnector* source, double volume)
{
    auto* connection = new CConnection(source, this, volume);
    connections.push_back(connection);
    ++incoming;
    ++source->outgoing;
    return connection;
}

void CConnector::Disconnect(int index)
{
    if (index < 0 || index >= static_cast<int>(connections.size()))
        throw CError("Index Out Of Bounds");
    CConnection* connection = connections[static_cast<std::size_t>(index)];
    connections.erase(connections.begin() + index);
    --incoming;
    if (connection->source != nullptr)
        --connection->source->outgoing;
    delete connection;
}

int CConnector::FindConnectionFrom(const CConnector* source) const
{
    for (std::size_t i = 0; i < connections.size(); ++i) {
        if (connections[i]->source == source)
            return static_cast<int>(i);
    }
    return -1;
}
