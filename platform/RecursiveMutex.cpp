#include "platform/RecursiveMutex.h"

namespace platform {

std::uint64_t CurrentThreadToken() noexcept
{
    // The address of a thread-local object is unique among live threads and
    // never 0.
    thread_local char marker;
    return reinterpret_cast<std::uintptr_t>(&marker);
}

void RecursiveMutex::Lock() noexcept
{
    const std::uint64_t self = CurrentThreadToken();
    if (owner.load(std::memory_order_relaxed) == self) {
        ++depth;
        return;
    }
    const std::uint32_t ticket = nextTicket.fetch_add(1, std::memory_order_relaxed);
    for (;;) {
        const std::uint32_t serving = nowServing.load(std::memory_order_acquire);
        if (serving == ticket)
            break;
        nowServing.wait(serving, std::memory_order_acquire);
    }
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
}

bool RecursiveMutex::TryLock() noexcept
{
    const std::uint64_t self = CurrentThreadToken();
    if (owner.load(std::memory_order_relaxed) == self) {
        ++depth;
        return true;
    }
    std::uint32_t serving = nowServing.load(std::memory_order_acquire);
    std::uint32_t expected = serving;
    // Only a free mutex (no ticket taken beyond the one being served) can be
    // taken without waiting.
    if (!nextTicket.compare_exchange_strong(expected, serving + 1, std::memory_order_acquire))
        return false;
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
    return true;
}

bool RecursiveMutex::Unlock() noexcept
{
    if (owner.load(std::memory_order_relaxed) != CurrentThreadToken())
        return false;
    if (--depth > 0)
        return true;
    owner.store(0, std::memory_order_relaxed);
    nowServing.fetch_add(1, std::memory_order_release);
    nowServing.notify_all();
    return true;
}

bool RecursiveMutex::IsHeldByCurrentThread() const noexcept
{
    return owner.load(std::memory_order_relaxed) == CurrentThreadToken();
}

} // namespace platform
