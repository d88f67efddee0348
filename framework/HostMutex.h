#pragma once
// CHostMutex: the lock of drivers, threads and editors. Unlike CMutex it
// reports misuse by throwing CError, and keeps only a locked flag (it is
// never nested).

#include "framework/Packing.h"

namespace platform {
class RecursiveMutex;
}

CORVANE_PACK_BEGIN

class CHostMutex {
public:
    /// Throws "Can't Create Mutex, Error Code 0x%x".
    CHostMutex();
    ~CHostMutex();
    CHostMutex(const CHostMutex&) = delete;
    CHostMutex& operator=(const CHostMutex&) = delete;

    /// Throws "Can't Lock Mutex, Error Code 0x%x" when the wait fails.
    void Lock();
    /// Throws "Mutex Not Locked, Can't Release" when not locked, and
    /// "Can't Release Mutex" when the caller does not own it.
    void Unlock();
    bool IsLocked() const { return locked; }

protected:
    platform::RecursiveMutex* handle;
    bool locked;
};

CORVANE_PACK_END
