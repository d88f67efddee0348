#include "framework/Semaphore.h"

#include <cerrno>
#include <new>

#include "framework/Error.h"
#include "platform/Semaphore.h"

namespace {
constexpr unsigned kWaitFailed = 0xffffffffu;
}

void CSemaphore::Create(int initial, int maximum)
{
    Close();
    if (maximum <= 0 || initial < 0 || initial > maximum)
        throw CError("Can't Create Semaphore, Error Code 0x%x", static_cast<unsigned>(EINVAL));
    handle = new (std::nothrow) platform::Semaphore(initial, maximum);
    if (handle == nullptr)
        throw CError("Can't Create Semaphore, Error Code 0x%x", static_cast<unsigned>(ENOMEM));
}

void CSemaphore::Wait()
{
    if (handle == nullptr)
        throw CError("Can't Lock Semaphore, Error Code 0x%x", kWaitFailed);
    handle->Wait();
}

void CSemaphore::Release(int count)
{
    if (handle == nullptr)
        throw CError("Can't Release Semaphore, Error Code 0x%x", static_cast<unsigned>(EBADF));
    if (!handle->Release(count))
        throw CError("Can't Release Semaphore, Error Code 0x%x", static_cast<unsigned>(EOVERFLOW));
}

void CSemaphore::Close()
{
    delete handle;
    handle = nullptr;
}
