// The studio's lifecycle, its machines and the per-machine propagation of
// audio format changes.

#include "host/Studio.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>
#include <typeinfo>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/HostMutex.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Master.h"

CStudio::CStudio(CCorvHost& host) : host(host)
{
    containers.reserve(64);
}

CStudio::~CStudio()
{
    Clear();
}

void CStudio::Clear()
{
    CScopedLock<CMutex> hold(lock);
    // Cables first, so that no container outlives a cable that points at it.
    for (CMachineContainer* container : containers)
        DisconnectAllOf(container);
    while (!containers.empty()) {
        CMachineContainer* container = containers.back();
        containers.pop_back();
        if (container == masterContainer)
            masterContainer = nullptr;
        for (const ContainerHook& hook : deleteHooks)
            hook(container);
        DestroyContainer(container);
    }
    masterContainer = nullptr;
    masterGain = 0.0;
}

void CStudio::DestroyContainer(CMachineContainer* container)
{
    // An idle pass may still be calling Idle on it.
    while (container->idlePins.load(std::memory_order_acquire) > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    delete container;
}

CMachineContainer* CStudio::AddMachine(CMachine* machine, CMachineInfo* descriptor, const char* name, int x, int y,
                                       const void* stateBlock, int stateLength, bool hostFormat)
{
    auto* container = new CMachineContainer(machine, descriptor, name, x, y, stateBlock, stateLength, hostFormat);
    container->studio = this;
    CScopedLock<CMutex> hold(lock);
    containers.push_back(container);
    return container;
}

CMachineContainer* CStudio::CreateMaster(const CMachineRegistry& registry)
{
    CMachineInfo* descriptor = nullptr;
    CMachine* machine = registry.CreateByName("Master", &descriptor);
    CMachineContainer* container = AddMachine(machine, descriptor, "Master", kMasterX, kMasterY);
    CScopedLock<CMutex> hold(lock);
    masterContainer = container;
    return container;
}

std::string CStudio::NextFreeName(const char* typeName) const
{
    char candidate[512];
    for (int i = 1;; ++i) {
        std::snprintf(candidate, sizeof candidate, "%s %i", typeName != nullptr ? typeName : "", i);
        if (FindByName(candidate) == nullptr)
            return candidate;
    }
}

CMachineContainer* CStudio::CreateMachine(CMachineInfo* descriptor, int x, int y)
{
    if (descriptor == nullptr)
        return nullptr;
    const std::string name = NextFreeName(descriptor->name);
    CMachine* machine = descriptor->CreateMachine();
    if (machine == nullptr)
        return nullptr;
    return AddMachine(machine, descriptor, name.c_str(), std::max(0, x), std::max(0, y));
}

CMachineContainer* CStudio::FindByName(const char* name) const
{
    if (name == nullptr)
        return nullptr;
    for (CMachineContainer* container : containers) {
        if (container->GetName() == name)
            return container;
    }
    return nullptr;
}

bool CStudio::DeleteMachine(CMachineContainer* container)
{
    if (container == nullptr || container == masterContainer)
        return false;
    {
        CScopedLock<CMutex> hold(lock);
        // Membership first: a container that is not (or no longer) ours may be
        // gone, so nothing of it is read before it is found here.
        const auto found = std::find(containers.begin(), containers.end(), container);
        if (found == containers.end() || container->GetName() == "Master")
            return false;
        DisconnectAllOf(container);
        containers.erase(found);
        for (const ContainerHook& hook : deleteHooks)
            hook(container);
    }
    // Unreachable from the graph now, so the callback cannot ask for it:
    // joining its worker and releasing the machine (a plug-in may take its
    // time) happen without keeping the callback waiting.
    DestroyContainer(container);
    return true;
}

bool CStudio::UpdateMasterInputs()
{
    if (masterContainer == nullptr)
        return false;
    auto* master = dynamic_cast<CMaster*>(masterContainer->machine);
    if (master == nullptr)
        return false;
    CScopedLock<CMutex> hold(lock);
    CScopedLock<CMaster> masterHold(*master);
    const bool changed = master->UpdateInputs();
    if (changed)
        masterContainer->RebuildConnectors();
    return changed;
}

void CStudio::SetSampleRate(int rate)
{
    CScopedLock<CMutex> hold(lock);
    if (playerSampleRateHook) {
        if (patternLock != nullptr)
            patternLock->Lock();
        playerSampleRateHook(rate);
        if (patternLock != nullptr)
            patternLock->Unlock();
    }
    for (CMachineContainer* container : containers) {
        CScopedLock<CMachine> machineHold(*container->machine);
        container->machine->SetSampleRate(rate);
    }
}

namespace {

/// New channel arrays for one port buffer, made before the studio lock.
struct FreshChannels {
    const CAudioBuffer* buffer;
    bool stereo;
    double* left;
    double* right;
};

/// The plain buffers of the machine's audio ports whose length changes (a
/// buffer of another type resizes itself, under the lock).
template <class Visit>
void ForEachResizedBuffer(CMachine* machine, int length, Visit visit)
{
    for (int i = 0; i < machine->portCount; ++i) {
        CPort* port = machine->ports[i];
        if (port != nullptr && port->audio != nullptr)
            visit(*port->audio, typeid(*port->audio) == typeid(CAudioBuffer) && port->audio->length != length);
    }
}

} // namespace

void CStudio::SetBlockSize(int length)
{
    // The arrays of the new length are made before the lock, swapped in
    // under it and the old ones freed after it: the audio callback, which
    // waits for the studio lock, waits for the swap, not for the allocator.
    // A machine added meanwhile has its buffers resized under the lock.
    std::vector<FreshChannels> fresh;
    fresh.reserve(64);
    {
        CScopedLock<CMutex> hold(lock);
        for (CMachineContainer* container : containers) {
            ForEachResizedBuffer(container->machine, length, [&](CAudioBuffer& buffer, bool plain) {
                if (plain && length > 0)
                    fresh.push_back({&buffer, buffer.stereo, nullptr, nullptr});
            });
        }
    }
    for (FreshChannels& channels : fresh) {
        channels.left = AllocateChannel(length);
        channels.right = channels.stereo ? AllocateChannel(length) : nullptr;
    }
    std::vector<double*> old;
    old.reserve(2 * fresh.size());
    {
        CScopedLock<CMutex> hold(lock);
        std::size_t next = 0;
        for (CMachineContainer* container : containers) {
            CScopedLock<CMachine> machineHold(*container->machine);
            ForEachResizedBuffer(container->machine, length, [&](CAudioBuffer& buffer, bool plain) {
                // In the order of the first pass unless the graph changed.
                FreshChannels* match = nullptr;
                if (plain && next < fresh.size() && fresh[next].buffer == &buffer)
                    match = &fresh[next++];
                else if (plain)
                    for (FreshChannels& candidate : fresh)
                        if (candidate.buffer == &buffer && candidate.left != nullptr)
                            match = &candidate;
                if (match == nullptr || match->left == nullptr || match->stereo != buffer.stereo ||
                    (buffer.stereo && match->right == nullptr)) {
                    buffer.Resize(length);
                    return;
                }
                old.push_back(buffer.left);
                old.push_back(buffer.right);
                buffer.left = match->left;
                buffer.right = match->right;
                buffer.length = length;
                match->left = match->right = nullptr;
            });
            container->machine->SetBlockSize(length);
        }
    }
    for (double* channel : old)
        FreeChannel(channel);
    for (const FreshChannels& channels : fresh) {
        FreeChannel(channels.left);
        FreeChannel(channels.right);
    }
}

void CStudio::IdlePass()
{
    // The studio lock only while the list is copied: Idle runs without it,
    // each machine under its own lock (so never beside its Work), and a
    // machine deleted meanwhile stays alive until its Idle has returned.
    {
        CScopedLock<CMutex> hold(lock);
        idleList.assign(containers.begin(), containers.end());
        for (CMachineContainer* container : idleList)
            container->idlePins.fetch_add(1, std::memory_order_relaxed);
    }
    for (CMachineContainer* container : idleList) {
        {
            CScopedLock<CMachine> hold(*container->machine);
            container->machine->Idle();
        }
        container->idlePins.fetch_sub(1, std::memory_order_release);
    }
    idleList.clear();
}
