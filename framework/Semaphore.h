#pragma once
// CSemaphore: a counting semaphore that reports failures by throwing CError.
// The engine pairs every Release with exactly one Wait.

#include "framework/Packing.h"

namespace platform {
class Semaphore;
}

CORVANE_PACK_BEGIN

class CSemaphore {
public:
    CSemaphore() : handle(nullptr) {}
    ~CSemaphore() { Close(); }
    CSemaphore(const CSemaphore&) = delete;
    CSemaphore& operator=(const CSemaphore&) = delete;

    /// Throws "Can't Create Semaphore, Error Code 0x%x".
    void Create(int initial, int maximum);
    /// Blocks without time-out. Throws "Can't Lock Semaphore, Error Code 0x%x".
    void Wait();
    /// Throws "Can't Release Semaphore, Error Code 0x%x", for instance when
    /// the count would pass the maximum.
    void Release(int count = 1);
    void Close();
    bool IsCreated() const { return handle != nullptr; }

private:
    platform::Semaphore* handle;
};

CORVANE_PACK_END
