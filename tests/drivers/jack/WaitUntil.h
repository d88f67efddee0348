#pragma once
// Bounded waiting: a broken driver fails the test instead of hanging it.

#include <chrono>
#include <thread>

namespace jack_test {

template <class Done>
bool WaitUntil(Done done, std::chrono::milliseconds bound = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace jack_test
