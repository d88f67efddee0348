#pragma once
// Holds a lock with Lock/Unlock (a CMutex: a machine, a container) for a
// scope, so that a message raised by a machine's formatter cannot leave the
// lock taken.

template <class Lockable>
class CScopedLock {
public:
    explicit CScopedLock(Lockable& lockable) : lockable(lockable) { lockable.Lock(); }
    ~CScopedLock() { lockable.Unlock(); }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    Lockable& lockable;
};
