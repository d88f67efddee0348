#include "machines/MIDIOutputScheduler.h"

#include "framework/Error.h"
#include "machines/MIDIOutputDevice.h"
#include "platform/Clock.h"

CMIDIOutputScheduler::CMIDIOutputScheduler() : thread([this] { Run(); }) {}

CMIDIOutputScheduler::~CMIDIOutputScheduler()
{
    {
        std::lock_guard<std::mutex> guard(sleepLock);
        stopping.store(true, std::memory_order_release);
    }
    sleepWake.notify_all();
    scheduled.fetch_add(1, std::memory_order_release);
    scheduled.notify_one();
    thread.join();
}

bool CMIDIOutputScheduler::Schedule(const Message& message) noexcept
{
    if (!ring.Push(message)) {
        dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    accepted.fetch_add(1, std::memory_order_release);
    scheduled.fetch_add(1, std::memory_order_release);
    // Wakes the sender only when it waits; never blocks.
    scheduled.notify_one();
    return true;
}

void CMIDIOutputScheduler::SetDevice(MIDIOutputDevice* device)
{
    std::lock_guard<std::mutex> guard(deviceLock);
    current = device;
}

bool CMIDIOutputScheduler::WaitUntilIdle(std::chrono::milliseconds bound) const
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (handled.load(std::memory_order_acquire) != accepted.load(std::memory_order_acquire)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void CMIDIOutputScheduler::Run()
{
    for (;;) {
        const std::uint32_t seen = scheduled.load(std::memory_order_acquire);
        const Message* front = ring.Front();
        if (front == nullptr) {
            if (stopping.load(std::memory_order_acquire))
                return;
            scheduled.wait(seen, std::memory_order_acquire);
            continue;
        }
        const Message message = *front;
        SleepUntil(message.due);
        Send(message);
        Message taken;
        ring.Pop(&taken);
        handled.fetch_add(1, std::memory_order_release);
    }
}

void CMIDIOutputScheduler::SleepUntil(std::int64_t due)
{
    const std::int64_t now = platform::QueryPerformanceCounter();
    if (due <= now)
        return;
    const std::int64_t wait = due - now < kLongestWaitNanoseconds ? due - now : kLongestWaitNanoseconds;
    std::unique_lock<std::mutex> guard(sleepLock);
    // Stopping cuts the wait short: what is queued then goes out at once.
    sleepWake.wait_for(guard, std::chrono::nanoseconds(wait),
                       [this] { return stopping.load(std::memory_order_acquire); });
}

void CMIDIOutputScheduler::Send(const Message& message)
{
    std::lock_guard<std::mutex> guard(deviceLock);
    if (message.device == nullptr || message.device != current) {
        dropped.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    try {
        current->Write(message.status, message.data1, message.data2);
        sent.fetch_add(1, std::memory_order_relaxed);
    } catch (const CError&) {
        dropped.fetch_add(1, std::memory_order_relaxed);
    }
}
