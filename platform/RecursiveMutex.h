#pragma once
// A recursive mutex that hands the lock over in arrival order.
//
// Fairness matters here: a worker thread holds its lock for the whole of each
// loop body and takes it again right after releasing it, so an unfair mutex
// would let it starve a caller that wants to stop it or reconfigure a driver.
// The owner and the nesting depth are tracked so that a release by a thread
// that does not own the lock can be refused instead of corrupting it.

#include <atomic>
#include <cstdint>

namespace platform {

class RecursiveMutex {
public:
    RecursiveMutex() = default;
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;

    /// Blocks until the calling thread owns the mutex; nests for the owner.
    void Lock() noexcept;
    /// Takes the mutex only if nobody else holds it.
    bool TryLock() noexcept;
    /// Releases one level. False, and nothing changes, when the caller does
    /// not own the mutex.
    bool Unlock() noexcept;
    bool IsHeldByCurrentThread() const noexcept;
    /// Owner thread only: how deeply the caller holds the mutex.
    int Depth() const noexcept { return depth; }

private:
    std::atomic<std::uint32_t> nextTicket{0};
    std::atomic<std::uint32_t> nowServing{0};
    std::atomic<std::uint64_t> owner{0};   // CurrentThreadToken() of the owner, 0 when free
    int depth = 0;                          // written only by the owner
};

/// A non-zero number that identifies the calling thread.
std::uint64_t CurrentThreadToken() noexcept;

} // namespace platform
