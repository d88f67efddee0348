// How a container gets its sources processed before its own Work: which
// thread runs which upstream machine.
//
// A worker's wake costs more than a cheap machine's Work, and on a machine
// without realtime scheduling a woken worker may be preempted while the
// audio thread waits for it. So a stage whose sources took, in the last
// block, less than a quarter of the block's duration all together runs them
// on the asking thread, one after the other. A costlier stage, a new one
// and a stage with a new cable (machines that meet inside Work must find
// each other while the costs are learnt) share them out as follows, and
// keep doing so for a while after the cost drops.
//
// A stage's sources (the non-auxiliary cables into the stage's input ports)
// are shared out between the asking thread and the sources' workers. The
// asking thread runs the last source itself, then walks the list backwards
// running every source nobody has started; meanwhile it keeps a few
// requests (one per other processor) queued to the workers of the first
// sources, queueing the next one only when a worker has started the
// previous. A lone upstream chain therefore runs on one thread and wakes no
// worker; a fan-in of cheap machines wakes a few; expensive independent
// branches still run in parallel, because then the workers start as fast as
// the asking thread gets through its own share.
//
// Whoever runs a machine does exactly what a worker's request always did:
// the machine's own lock around ProcessContainer, whose processed flag
// (set under that lock) makes Work run once per block. Workers run only
// their own machine, so a worker never blocks while another thread waits
// for its signal. A request whose machine another thread ran first is
// revoked (neither processed nor signalled), and the asker it was for skips
// its wait, so every semaphore release still pairs with one wait.

#include "host/Studio.h"

#include <algorithm>
#include <thread>

#include "framework/Connection.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "platform/Thread.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace {

bool IsAuxiliary(const CPort* port)
{
    return (port->flags & kPortAuxiliary) != 0;
}

/// Calls visit(source) for every requested cable of the stage, in port and
/// cable order or backwards.
template <class Visit>
void ForEachSource(CMachineContainer* container, bool auxiliaryStage, bool backwards, Visit visit)
{
    const auto& connectors = container->connectors;
    const std::size_t count = connectors.size();
    for (std::size_t i = 0; i < count; ++i) {
        const CConnector* connector = connectors[backwards ? count - 1 - i : i];
        const CPort* port = connector->port;
        if (!(port->flags & kPortInput) || IsAuxiliary(port) != auxiliaryStage)
            continue;
        const auto& connections = connector->connections;
        const std::size_t cables = connections.size();
        for (std::size_t j = 0; j < cables; ++j) {
            const CConnection* connection = connections[backwards ? cables - 1 - j : j];
            if (!IsAuxiliary(connection->source->port))
                visit(connection->source->owner);
        }
    }
}

} // namespace

void SetFlushToZeroForRendering() noexcept
{
    // Denormals cost hundreds of cycles each in feedback filters; flush them
    // on every thread that renders.
#if defined(__SSE__)
    _mm_setcsr(_mm_getcsr() | 0x8040);
#endif
}

int CStudio::HelperCount()
{
    const unsigned processors = std::thread::hardware_concurrency();
    // At least one, so that independent branches still overlap on a single
    // processor as they always have (a machine may wait for another inside
    // Work, as a plug-in talking to a second instance does).
    return std::clamp(static_cast<int>(processors) - 1, 1, kMaxHelpers);
}

void CStudio::ProcessRequest(std::uintptr_t argument)
{
    auto* container = reinterpret_cast<CMachineContainer*>(argument);
    SetFlushToZeroForRendering();
    CScopedLock<CMachine> hold(*container->machine);
    container->pendingRequests.fetch_sub(1, std::memory_order_relaxed);
    if (container->revokedRequests > 0) {
        --container->revokedRequests;
        return;
    }
    container->studio->ProcessContainer(container, true);
}

void CStudio::Claim(CMachineContainer* source, std::uintptr_t tag)
{
    CScopedLock<CMachine> hold(*source->machine);
    if (!source->processed.load(std::memory_order_relaxed)) {
        ProcessContainer(source, false);
        source->claimedBy.store(tag, std::memory_order_relaxed);
        // Unprocessed under its lock means none of its requests has run yet
        // this block: revoke one, for the asker that queued it.
        if (source->pendingRequests.load(std::memory_order_acquire) > source->revokedRequests) {
            ++source->revokedRequests;
            source->ranFor.store(source->askedBy.load(std::memory_order_relaxed), std::memory_order_relaxed);
        }
    }
}

namespace {

/// A position in a stage's list of requested cables, moving forwards.
class CSourceCursor {
public:
    CSourceCursor(CMachineContainer* container, bool auxiliaryStage)
        : container(container), auxiliaryStage(auxiliaryStage)
    {
    }
    /// The next requested cable's source, or null at the end.
    CMachineContainer* Next()
    {
        const auto& connectors = container->connectors;
        while (connector < connectors.size()) {
            const CConnector* input = connectors[connector];
            const CPort* port = input->port;
            if ((port->flags & kPortInput) && IsAuxiliary(port) == auxiliaryStage) {
                while (cable < input->connections.size()) {
                    const CConnection* connection = input->connections[cable++];
                    if (!IsAuxiliary(connection->source->port))
                        return connection->source->owner;
                }
            }
            ++connector;
            cable = 0;
        }
        return nullptr;
    }

private:
    CMachineContainer* container;
    bool auxiliaryStage;
    std::size_t connector = 0;
    std::size_t cable = 0;
};

} // namespace

void CStudio::RunSources(CMachineContainer* container, bool auxiliaryStage)
{
    CMachineContainer* last = nullptr;
    std::int64_t stageNanos = 0;
    ForEachSource(container, auxiliaryStage, false, [&](CMachineContainer* source) {
        last = source;
        stageNanos += source->branchNanos.load(std::memory_order_relaxed);
    });
    if (last == nullptr)
        return;

    const std::int64_t quarterBlockNanos =
        static_cast<std::int64_t>(host.GetBlockSize()) * 250000000 / std::max(host.GetSampleRate(), 1);
    int& parallelBlocks = container->parallelBlocks[auxiliaryStage ? 1 : 0];
    if (stageNanos > quarterBlockNanos)
        parallelBlocks = std::max(parallelBlocks, CMachineContainer::kParallelHoldBlocks);
    const bool parallel = parallelBlocks > 0;
    if (parallel)
        --parallelBlocks;

    CMachineContainer* queued[kMaxQueued];
    int queuedCount = 0;
    CSourceCursor front(container, auxiliaryStage);
    const std::uintptr_t tag = reinterpret_cast<std::uintptr_t>(container);
    // Keeps `helpers` requests queued that no worker has started yet.
    auto topUp = [&] {
        if (!parallel)
            return;
        int waiting = 0;
        for (int i = 0; i < queuedCount; ++i)
            waiting += queued[i]->processed.load(std::memory_order_acquire) ? 0 : 1;
        while (waiting < helpers && queuedCount < kMaxQueued) {
            CMachineContainer* source = front.Next();
            if (source == nullptr)
                return;
            if (source == last || source->processed.load(std::memory_order_acquire) ||
                std::find(queued, queued + queuedCount, source) != queued + queuedCount)
                continue;
            source->askedBy.store(tag, std::memory_order_relaxed);
            source->pendingRequests.fetch_add(1, std::memory_order_release);
            // A full queue drains as the worker runs, and a dropped request
            // would leave its waiter waiting forever: retry instead.
            while (!source->worker.GetHandle()->QueueProcedure(&CStudio::ProcessRequest,
                                                               reinterpret_cast<std::uintptr_t>(source)))
                std::this_thread::yield();
            queued[queuedCount++] = source;
            ++waiting;
        }
    };

    topUp();
    Claim(last, tag);
    ForEachSource(container, auxiliaryStage, true, [&](CMachineContainer* source) {
        if (source->processed.load(std::memory_order_acquire))
            return;
        topUp();
        Claim(source, tag);
    });

    // A source seen as processed may still be in another thread's hands;
    // its lock is free only once its Work is done. This also settles every
    // revocation of a request queued here by another asker. The sources this
    // thread ran itself are done: taking their locks again would only meet
    // a worker looking at a revoked request, and wait for it.
    ForEachSource(container, auxiliaryStage, false, [tag](CMachineContainer* source) {
        if (source->claimedBy.load(std::memory_order_relaxed) == tag)
            return;
        source->machine->Lock();
        source->machine->Unlock();
    });

    for (int i = 0; i < queuedCount; ++i) {
        CMachineContainer* source = queued[i];
        if (source->ranFor.load(std::memory_order_relaxed) == tag) {
            source->ranFor.store(0, std::memory_order_relaxed);
            continue;
        }
        source->done.Wait();
    }
}
