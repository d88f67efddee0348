// The graph-editing rules of the studio: cables, cycles and Randomize.

#include "host/Studio.h"

#include <algorithm>
#include <vector>

#include "framework/Connection.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "platform/Random.h"

namespace {

constexpr int kKindBits = kPortAudio | kPortControl;
constexpr int kDirectionBits = kPortInput | kPortOutput;

// A container asks another to render whenever a cable from one of the
// other's non-auxiliary outputs ends at one of its inputs (sends are read as
// they stand and never requested). Whether `from` reaches `to` along such
// requests.
bool Requests(const CMachineContainer* from, const CMachineContainer* to)
{
    std::vector<const CMachineContainer*> pending{from};
    std::vector<const CMachineContainer*> seen;
    while (!pending.empty()) {
        const CMachineContainer* current = pending.back();
        pending.pop_back();
        if (current == to)
            return true;
        if (std::find(seen.begin(), seen.end(), current) != seen.end())
            continue;
        seen.push_back(current);
        for (const CConnector* connector : current->connectors) {
            if (!(connector->port->flags & kPortInput))
                continue;
            for (const CConnection* connection : connector->connections) {
                if (!(connection->source->port->flags & kPortAuxiliary))
                    pending.push_back(connection->source->owner);
            }
        }
    }
    return false;
}

} // namespace

bool CStudio::WouldCloseCycle(const CConnector* output, const CConnector* input) const
{
    // A cable from a send is never requested, so it cannot close a cycle;
    // that keeps a mixer's send and return loop possible.
    if (output->port->flags & kPortAuxiliary)
        return false;
    return Requests(output->owner, input->owner);
}

CConnection* CStudio::Connect(CConnector* dragStart, CConnector* dragEnd, double volume)
{
    if (dragStart == nullptr || dragEnd == nullptr)
        return nullptr;
    if (dragStart->owner == dragEnd->owner)
        return nullptr;
    const int startFlags = dragStart->port->flags;
    const int endFlags = dragEnd->port->flags;
    if ((startFlags & kKindBits) != (endFlags & kKindBits))
        return nullptr;
    if ((startFlags & kDirectionBits) == (endFlags & kDirectionBits))
        return nullptr;
    CConnector* output = (startFlags & kPortOutput) ? dragStart : dragEnd;
    CConnector* input = output == dragStart ? dragEnd : dragStart;
    if (!(output->port->flags & kPortOutput) || !(input->port->flags & kPortInput))
        return nullptr;

    CScopedLock<CMutex> hold(lock);
    if (input->FindConnectionFrom(output) >= 0 || WouldCloseCycle(output, input))
        return nullptr;
    CScopedLock<CMachine> firstHold(*dragStart->owner->machine);
    CScopedLock<CMachine> secondHold(*dragEnd->owner->machine);
    for (int& blocks : input->owner->parallelBlocks)
        blocks = std::max(blocks, CMachineContainer::kLearningBlocks);
    return input->Connect(output, volume);
}

void CStudio::Disconnect(CConnector* input, int index)
{
    CScopedLock<CMutex> hold(lock);
    input->Disconnect(index);
}

void CStudio::DisconnectAllOf(CMachineContainer* container)
{
    // Cables that end here belong to this container's connectors; cables
    // that start here belong to other machines' inputs and would point at
    // freed connectors once this container is gone, so they go too.
    for (CConnector* connector : container->connectors) {
        while (!connector->connections.empty())
            connector->Disconnect(static_cast<int>(connector->connections.size()) - 1);
    }
    for (CMachineContainer* other : containers) {
        if (other == container)
            continue;
        for (CConnector* connector : other->connectors) {
            for (int i = static_cast<int>(connector->connections.size()) - 1; i >= 0; --i) {
                if (connector->connections[static_cast<std::size_t>(i)]->source->owner == container)
                    connector->Disconnect(i);
            }
        }
    }
}

bool CStudio::Randomize(CMachineContainer* container)
{
    CMachine* machine = container != nullptr ? container->machine : nullptr;
    if (machine == nullptr || machine->parameterCount <= 0)
        return false;
    CScopedLock<CMachine> machineHold(*machine);
    machine->BeginParameterUpdate();
    for (int i = 0; i < machine->parameterCount; ++i) {
        const float value = static_cast<float>(platform::Random()) / static_cast<float>(platform::kRandomMaximum);
        machine->SetParameter(i, static_cast<double>(value));
    }
    machine->EndParameterUpdate();
    return true;
}
