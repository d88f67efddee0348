#pragma once
// A fixed-capacity queue of procedures for one thread, filled from any thread
// without allocating or locking, and drained by that thread while it waits.
// This is how work is handed to a worker: the caller queues a procedure and
// the worker runs it during its next wait, in queueing order.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace platform {

using Procedure = void (*)(std::uintptr_t argument);

class ProcedureQueue {
public:
    static constexpr std::size_t kCapacity = 256;

    ProcedureQueue() noexcept;
    ProcedureQueue(const ProcedureQueue&) = delete;
    ProcedureQueue& operator=(const ProcedureQueue&) = delete;

    /// Any thread. False when the queue is full; nothing is queued then.
    bool Push(Procedure procedure, std::uintptr_t argument) noexcept;
    /// Owner thread only. Waits up to timeoutMilliseconds for an entry, then
    /// runs every queued procedure in order. Returns how many ran.
    int WaitAndRun(int timeoutMilliseconds) noexcept;
    /// Owner thread only. Runs what is queued without waiting.
    int RunPending() noexcept;

private:
    struct Cell {
        std::atomic<std::size_t> sequence;
        Procedure procedure;
        std::uintptr_t argument;
    };
    bool Pop(Procedure& procedure, std::uintptr_t& argument) noexcept;

    std::array<Cell, kCapacity> cells;
    alignas(64) std::atomic<std::size_t> enqueuePosition{0};
    alignas(64) std::atomic<std::size_t> dequeuePosition{0};
    // Counts pushes; the owner sleeps on it with a futex so that a push wakes
    // the sleep at once.
    alignas(64) std::atomic<std::uint32_t> pushes{0};
    std::atomic<bool> sleeping{false};
};

} // namespace platform
