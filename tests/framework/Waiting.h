#pragma once
// Bounded waits for the thread tests. A condition that never comes true, or
// an operation that never returns, fails the test after a generous limit
// instead of hanging it; no test asserts on how long anything took.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace waiting {

inline constexpr std::chrono::seconds kPatience{30};

/// Polls until condition() holds; false after kPatience.
template <typename Condition>
bool Eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

/// Runs operation on a helper thread and waits for it to return. A hang
/// there ends the test program with a message: the blocked thread could not
/// be cleaned up anyway.
template <typename Operation>
void Finishes(const char* what, Operation operation)
{
    std::atomic<bool> done{false};
    std::thread helper([&] {
        operation();
        done.store(true);
    });
    if (!Eventually([&] { return done.load(); })) {
        std::fprintf(stderr, "hung: %s\n", what);
        std::fflush(stderr);
        std::abort();
    }
    helper.join();
}

} // namespace waiting
