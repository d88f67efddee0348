#include "platform/Semaphore.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
constexpr int kSpinMicroseconds = 50;
}

Semaphore::Semaphore(int initial, int maximum) noexcept : value(initial), maximum(maximum) {}

bool Semaphore::TryTake() noexcept
{
    int current = value.load(std::memory_order_acquire);
    while (current > 0) {
        if (value.compare_exchange_weak(current, current - 1, std::memory_order_acquire))
            return true;
    }
    return false;
}

void Semaphore::Wait() noexcept
{
    // A thread put to sleep takes tens of microseconds to wake on a busy
    // or virtual machine, and the engine waits on a completion twice per
    // cable. Most waits there end within a few dozen microseconds, so look
    // for a while first, yielding so the thread being waited on can run.
    const auto spinUntil = std::chrono::steady_clock::now() + std::chrono::microseconds(kSpinMicroseconds);
    do {
        if (TryTake())
            return;
        std::this_thread::yield();
    } while (std::chrono::steady_clock::now() < spinUntil);
    for (;;) {
        if (TryTake())
            return;
        value.wait(0, std::memory_order_acquire);
    }
}

bool Semaphore::WaitFor(int milliseconds) noexcept
{
    // Timed waits are rare (the procedure queue's 50 ms sleep uses its own
    // primitive), so a short polling loop keeps this free of extra state.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (TryTake())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

bool Semaphore::Release(int count) noexcept
{
    if (count <= 0)
        return false;
    int current = value.load(std::memory_order_relaxed);
    do {
        if (current > maximum - count)
            return false;
    } while (!value.compare_exchange_weak(current, current + count, std::memory_order_release));
    if (count == 1)
        value.notify_one();
    else
        value.notify_all();
    return true;
}

} // namespace platform
