#include "plugins/vst/VSTAdapterList.h"

#include <chrono>
#include <thread>

#include "framework/HostMutex.h"
#include "framework/Thread.h"
#include "platform/Thread.h"
#include "plugins/vst/VSTAdapter.h"

namespace {

/// Gives each adapter its idle calls: effIdle while the plug-in asked for
/// it. Editor idle runs on the user-interface thread instead, since X11
/// editors draw from inside it.
class CVSTIdleThread : public CThread {
public:
    ~CVSTIdleThread() override { Stop(); }
    void Body() override;
};

CHostMutex* listLock = nullptr;
CVSTIdleThread* idleThread = nullptr;
CVSTAdapter* first = nullptr;
CVSTAdapter* last = nullptr;
int adapterCount = 0;
thread_local int heldByThisThread = 0;

void CVSTIdleThread::Body()
{
    vst_adapters::LockList();
    for (CVSTAdapter* adapter = first; adapter != nullptr; adapter = adapter->next) {
        adapter->Lock();
        adapter->IdlePass();
        adapter->Unlock();
    }
    vst_adapters::UnlockList();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

} // namespace

namespace vst_adapters {

void LockList()
{
    if (heldByThisThread > 0) {
        ++heldByThisThread;
        return;
    }
    if (listLock == nullptr) {
        listLock = new CHostMutex();
        idleThread = new CVSTIdleThread();
        idleThread->SetPriority(platform::kPriorityBelowNormal);
        idleThread->Resume();
    }
    listLock->Lock();
    heldByThisThread = 1;
}

void UnlockList()
{
    if (--heldByThisThread > 0)
        return;
    heldByThisThread = 0;
    listLock->Unlock();
}

bool ListLockedByCaller()
{
    return heldByThisThread > 0;
}

void Append(CVSTAdapter* adapter)
{
    adapter->previous = last;
    adapter->next = nullptr;
    if (last != nullptr)
        last->next = adapter;
    else
        first = adapter;
    last = adapter;
    ++adapterCount;
}

void Unlink(CVSTAdapter* adapter)
{
    if (adapter->previous != nullptr)
        adapter->previous->next = adapter->next;
    else if (first == adapter)
        first = adapter->next;
    if (adapter->next != nullptr)
        adapter->next->previous = adapter->previous;
    else if (last == adapter)
        last = adapter->previous;
    adapter->next = adapter->previous = nullptr;
    --adapterCount;
}

CVSTAdapter* FindByEffect(const vst::AEffect* effect)
{
    if (listLock == nullptr || effect == nullptr)
        return nullptr;
    LockList();
    CVSTAdapter* found = nullptr;
    for (CVSTAdapter* adapter = first; adapter != nullptr && found == nullptr; adapter = adapter->next) {
        if (adapter->Effect() == effect)
            found = adapter;
    }
    UnlockList();
    return found;
}

void ReleaseWhenEmpty()
{
    if (listLock == nullptr || adapterCount > 0)
        return;
    // The thread's pass takes the list lock, so it is stopped before the
    // lock goes.
    delete idleThread;
    idleThread = nullptr;
    delete listLock;
    listLock = nullptr;
}

int Count()
{
    return adapterCount;
}

bool IdleThreadRunning()
{
    return idleThread != nullptr && idleThread->IsRunning();
}

} // namespace vst_adapters
