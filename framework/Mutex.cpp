#include "framework/Mutex.h"

#include <atomic>
#include <new>

#include "platform/RecursiveMutex.h"

CMutex::CMutex() : handle(new (std::nothrow) platform::RecursiveMutex), lockCount(0) {}

CMutex::~CMutex()
{
    if (std::atomic_ref<std::int32_t>(lockCount).load(std::memory_order_relaxed) > 0) {
        std::atomic_ref<std::int32_t>(lockCount).fetch_sub(1, std::memory_order_relaxed);
        if (handle != nullptr)
            handle->Unlock();
    }
    delete handle;
}

void CMutex::Lock()
{
    if (handle != nullptr)
        handle->Lock();
    std::atomic_ref<std::int32_t>(lockCount).fetch_add(1, std::memory_order_relaxed);
}

void CMutex::Unlock()
{
    std::atomic_ref<std::int32_t>(lockCount).fetch_sub(1, std::memory_order_relaxed);
    if (handle != nullptr)
        handle->Unlock();
}

bool CMutex::IsLocked()
{
    return std::atomic_ref<std::int32_t>(lockCount).load(std::memory_order_relaxed) > 0;
}

bool CMutex::IsLockedByCaller() const
{
    return handle != nullptr && handle->IsHeldByCurrentThread();
}
