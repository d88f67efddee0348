#pragma once
// One JACK test at a time on this machine, across test programs. JACK 2
// keeps one metadata database per user in /dev/shm, shared by every server
// and client, and creating or removing it while another process opens it
// can crash that process (a SIGBUS inside libdb). Every test that starts a
// server or opens a client holds this lock for its whole run; any other
// test program that uses JACK can take the same lock to run beside these.

namespace jack_test {

class CJackTestLock {
public:
    /// Waits, up to a bound, for /tmp/corvane-jack-tests-<uid>.lock; the
    /// lock is the kernel's, so it is released even if the holder dies.
    CJackTestLock();
    ~CJackTestLock();
    CJackTestLock(const CJackTestLock&) = delete;
    CJackTestLock& operator=(const CJackTestLock&) = delete;

    bool IsHeld() const { return held; }

private:
    int descriptor = -1;
    bool held = false;
};

} // namespace jack_test
