#pragma once
// CMutex: the recursive lock inside every machine, the studio, the bank
// service and several views. It never throws; it counts its own nesting so
// that IsLocked can be asked from any thread.

#include <cstdint>

#include "framework/Packing.h"

namespace platform {
class RecursiveMutex;
}

CORVANE_PACK_BEGIN

class CMutex {
public:
    CMutex();
    /// Releases once if still locked, then frees the mutex.
    virtual ~CMutex();
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    virtual void Lock();
    virtual void Unlock();
    virtual bool IsLocked();

    /// Whether the calling thread is the one holding the lock.
    bool IsLockedByCaller() const;

protected:
    platform::RecursiveMutex* handle;
    std::int32_t lockCount;
};

CORVANE_PACK_END
