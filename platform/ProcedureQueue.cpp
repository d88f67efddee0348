#include "platform/ProcedureQueue.h"

#include <cerrno>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

void FutexWait(std::atomic<std::uint32_t>* word, std::uint32_t expected, int milliseconds) noexcept
{
    timespec timeout{};
    timeout.tv_sec = milliseconds / 1000;
    timeout.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAIT_PRIVATE, expected, &timeout,
            nullptr, 0);
}

void FutexWakeAll(std::atomic<std::uint32_t>* word) noexcept
{
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAKE_PRIVATE, 0x7fffffff, nullptr,
            nullptr, 0);
}

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

} // namespace

ProcedureQueue::ProcedureQueue() noexcept
{
    for (std::size_t i = 0; i < kCapacity; ++i) {
        cells[i].sequence.store(i, std::memory_order_relaxed);
        cells[i].procedure = nullptr;
        cells[i].argument = 0;
    }
}

// Bounded multi-producer queue after Dmitry Vyukov's design: each cell's
// sequence number says whether it is free for the producer of that position
// or filled for the consumer.
bool ProcedureQueue::Push(Procedure procedure, std::uintptr_t argument) noexcept
{
    std::size_t position = enqueuePosition.load(std::memory_order_relaxed);
    Cell* cell;
    for (;;) {
        cell = &cells[position % kCapacity];
        const std::size_t sequence = cell->sequence.load(std::memory_order_acquire);
        const auto difference = static_cast<std::intptr_t>(sequence) - static_cast<std::intptr_t>(position);
        if (difference == 0) {
            if (enqueuePosition.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
                break;
        } else if (difference < 0) {
            return false;
        } else {
            position = enqueuePosition.load(std::memory_order_relaxed);
        }
    }
    cell->procedure = procedure;
    cell->argument = argument;
    cell->sequence.store(position + 1, std::memory_order_release);

    // The wake is a system call, so it is made only when the owner sleeps.
    // Both sides use sequentially consistent order: either the owner sees
    // this push before it sleeps, or this side sees it sleeping.
    pushes.fetch_add(1, std::memory_order_seq_cst);
    if (sleeping.load(std::memory_order_seq_cst))
        FutexWakeAll(&pushes);
    return true;
}

bool ProcedureQueue::Pop(Procedure& procedure, std::uintptr_t& argument) noexcept
{
    const std::size_t position = dequeuePosition.load(std::memory_order_relaxed);
    Cell& cell = cells[position % kCapacity];
    const std::size_t sequence = cell.sequence.load(std::memory_order_acquire);
    if (static_cast<std::intptr_t>(sequence) - static_cast<std::intptr_t>(position + 1) < 0)
        return false;
    procedure = cell.procedure;
    argument = cell.argument;
    dequeuePosition.store(position + 1, std::memory_order_relaxed);
    cell.sequence.store(position + kCapacity, std::memory_order_release);
    return true;
}

int ProcedureQueue::RunPending() noexcept
{
    int ran = 0;
    Procedure procedure;
    std::uintptr_t argument;
    while (Pop(procedure, argument)) {
        procedure(argument);
        ++ran;
    }
    return ran;
}

int ProcedureQueue::WaitAndRun(int timeoutMilliseconds) noexcept
{
    const std::uint32_t seen = pushes.load(std::memory_order_seq_cst);
    int ran = RunPending();
    if (ran > 0)
        return ran;
    sleeping.store(true, std::memory_order_seq_cst);
    // A push after the load above changes the word, so the futex returns at
    // once instead of missing the wake.
    if (pushes.load(std::memory_order_seq_cst) == seen)
        FutexWait(&pushes, seen, timeoutMilliseconds);
    sleeping.store(false, std::memory_order_relaxed);
    return RunPending();
}

} // namespace platform
