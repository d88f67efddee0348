#pragma once
// Holds a lock with Lock/Unlock (a CMutex, a machine, a CHostMutex) for a
// scope, so that an error thrown while it is held never leaves it taken.
// Holds nothing else: it allocates nothing and may be used on the audio
// thread wherever the lock itself may be taken.

template <class Lockable>
class CScopedLock {
public:
    explicit CScopedLock(Lockable& lockable) : lockable(lockable) { lockable.Lock(); }
    ~CScopedLock()
    {
        // Only CHostMutex's Unlock throws, and only when the lock is not
        // held, which this holder rules out; nothing may leave a destructor.
        try {
            lockable.Unlock();
        } catch (...) {
        }
    }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    Lockable& lockable;
};
