#include "app/InterruptSignals.h"

#include <atomic>

namespace {

// Only lock-free atomics may be touched from a signal handler.
std::atomic<int> received{0};
static_assert(std::atomic<int>::is_always_lock_free);

void Remember(int signal)
{
    received.store(signal, std::memory_order_relaxed);
}

} // namespace

CInterruptSignals::CInterruptSignals()
{
    received.store(0, std::memory_order_relaxed);
    struct sigaction action {};
    action.sa_handler = Remember;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the render notices between blocks.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
}

CInterruptSignals::~CInterruptSignals()
{
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
}

int CInterruptSignals::Received() const
{
    return received.load(std::memory_order_relaxed);
}
