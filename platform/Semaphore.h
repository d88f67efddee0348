#pragma once
// A counting semaphore with a maximum count, as the engine's completion
// semaphores need: releasing past the maximum fails instead of wrapping.

#include <atomic>
#include <cstdint>

namespace platform {

class Semaphore {
public:
    Semaphore(int initial, int maximum) noexcept;
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    /// Blocks until the count is above zero, then takes one.
    void Wait() noexcept;
    /// Takes one if the count allows within the timeout.
    bool WaitFor(int milliseconds) noexcept;
    /// Adds count; false, and nothing changes, when that would pass the
    /// maximum or count is not positive.
    bool Release(int count = 1) noexcept;
    int Count() const noexcept { return value.load(std::memory_order_relaxed); }
    int Maximum() const noexcept { return maximum; }

private:
    bool TryTake() noexcept;

    std::atomic<int> value;
    int maximum;
};

} // namespace platform
