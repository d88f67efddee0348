#include "framework/HostMutex.h"

#include <cerrno>
#include <new>

#include "framework/Error.h"
#include "platform/RecursiveMutex.h"

CHostMutex::CHostMutex() : handle(new (std::nothrow) platform::RecursiveMutex), locked(false)
{
    if (handle == nullptr)
        throw CError("Can't Create Mutex, Error Code 0x%x", static_cast<unsigned>(ENOMEM));
}

CHostMutex::~CHostMutex()
{
    delete handle;
}

void CHostMutex::Lock()
{
    // Waiting on a live mutex cannot fail or time out; only a missing one can.
    constexpr unsigned kWaitFailed = 0xffffffffu;
    if (handle == nullptr)
        throw CError("Can't Lock Mutex, Error Code 0x%x", kWaitFailed);
    handle->Lock();
    locked = true;
}

void CHostMutex::Unlock()
{
    if (!locked)
        throw CError("Mutex Not Locked, Can't Release");
    // The flag belongs to the owner: a release refused to another thread
    // must leave it set, or the owner could never release its lock again.
    if (!handle->IsHeldByCurrentThread())
        throw CError("Can't Release Mutex");
    locked = false;
    if (!handle->Unlock())
        throw CError("Can't Release Mutex");
}
