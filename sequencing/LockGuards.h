#pragma once
// Scoped holders for the framework's two lock types, so that a thrown
// error never leaves an editor's lock held.

#include "framework/HostMutex.h"
#include "framework/Mutex.h"

class CHostMutexHold {
public:
    explicit CHostMutexHold(CHostMutex& mutex) : mutex(mutex) { mutex.Lock(); }
    ~CHostMutexHold()
    {
        // Unlock throws only when the lock is not held, which this holder
        // rules out; nothing may leave a destructor.
        try {
            mutex.Unlock();
        } catch (...) {
        }
    }
    CHostMutexHold(const CHostMutexHold&) = delete;
    CHostMutexHold& operator=(const CHostMutexHold&) = delete;

private:
    CHostMutex& mutex;
};

class CMutexHold {
public:
    explicit CMutexHold(CMutex& mutex) : mutex(mutex) { mutex.Lock(); }
    ~CMutexHold() { mutex.Unlock(); }
    CMutexHold(const CMutexHold&) = delete;
    CMutexHold& operator=(const CMutexHold&) = delete;

private:
    CMutex& mutex;
};
