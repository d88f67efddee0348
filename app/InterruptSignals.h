#pragma once
// While a CInterruptSignals lives, SIGINT and SIGTERM do not end the process:
// they only raise a flag that a long command (a render) polls between
// blocks, so it can stop cleanly, remove what it half wrote and say so. The
// handlers that were there before come back when it goes. Command-line
// thread; one at a time.

#include <csignal>

class CInterruptSignals {
public:
    CInterruptSignals();
    ~CInterruptSignals();
    CInterruptSignals(const CInterruptSignals&) = delete;
    CInterruptSignals& operator=(const CInterruptSignals&) = delete;

    /// The signal that arrived (SIGINT or SIGTERM), or 0.
    int Received() const;

private:
    struct sigaction previousInterrupt {};
    struct sigaction previousTerminate {};
};
