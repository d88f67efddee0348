#pragma once
// The list of every live VST adapter, its lock and the idle thread that
// gives plug-ins idle time every 10 ms. The lock and the thread come with
// the first adapter and go with the last, so a studio without VST machines
// runs no idle thread.
//
// Lock order: the list lock, then an adapter's machine lock; never the other
// way round.

class CVSTAdapter;

namespace vst {
struct AEffect;
}

namespace vst_adapters {

/// Takes the list lock, creating the lock and the idle thread first when
/// this is the first adapter. User-interface thread.
void LockList();
void UnlockList();
/// Whether the calling thread holds the list lock (the entry call of a
/// plug-in may call back while its adapter's construction holds it).
bool ListLockedByCaller();

/// Both with the list lock held.
void Append(CVSTAdapter* adapter);
void Unlink(CVSTAdapter* adapter);

/// The adapter holding effect, or null; takes the list lock unless the
/// caller holds it.
CVSTAdapter* FindByEffect(const vst::AEffect* effect);

/// Stops the idle thread and frees the lock when no adapter is left.
/// User-interface thread, without the list lock.
void ReleaseWhenEmpty();

/// Number of live adapters (tests).
int Count();
/// Whether the idle thread runs (tests).
bool IdleThreadRunning();

} // namespace vst_adapters
