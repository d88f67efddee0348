#pragma once
// Debug builds check the locks a function's comment says its caller holds,
// so that a broken contract stops the program where it is broken instead
// of racing quietly; release builds (NDEBUG) check nothing and pay nothing.

#include <cassert>

#include "framework/HostMutex.h"
#include "framework/Mutex.h"

inline bool IsHeldHere(const CMutex& lock)
{
    return lock.IsLockedByCaller();
}

/// A CHostMutex knows only that it is held, not by which thread.
inline bool IsHeldHere(const CHostMutex& lock)
{
    return lock.IsLocked();
}

#define CORVANE_ASSERT_HELD(lock) assert(IsHeldHere(lock))
