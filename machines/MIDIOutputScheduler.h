#pragma once
// CMIDIOutputScheduler: sends a MIDI output machine's messages at their
// moments. The audio thread hands over each message with the time it is
// due (its sample offset in the block turned into performance-counter
// time); a sender thread of the machine's own waits for that moment and
// writes it to the device. So the audio thread never waits for the MIDI
// system, and messages keep their spacing inside a block.
//
// Threads: Schedule on the audio thread (no lock, no allocation); SetDevice
// on the user-interface thread; the sender thread does the rest.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "machines/SpscRing.h"

class MIDIOutputDevice;

class CMIDIOutputScheduler {
public:
    struct Message {
        std::int64_t due = 0;                // performance counter
        MIDIOutputDevice* device = nullptr;  // the machine's device when it was scheduled
        std::uint8_t status = 0;
        std::uint8_t data1 = 0;
        std::uint8_t data2 = 0;
    };
    static constexpr std::size_t kCapacity = 1024;
    /// The longest a message is held back; a larger offset could only come
    /// from a sample rate gone wrong.
    static constexpr std::int64_t kLongestWaitNanoseconds = 1000000000;

    /// Starts the sender thread.
    CMIDIOutputScheduler();
    /// Sends what is still queued at once (note-offs included, so nothing
    /// is left sounding), then stops the thread.
    ~CMIDIOutputScheduler();
    CMIDIOutputScheduler(const CMIDIOutputScheduler&) = delete;
    CMIDIOutputScheduler& operator=(const CMIDIOutputScheduler&) = delete;

    /// Audio thread. False (and counted as dropped) when the queue is full.
    bool Schedule(const Message& message) noexcept;
    /// Messages are written only to this device; those scheduled for
    /// another are dropped. Returns once a write in progress has finished,
    /// so the old device may be closed afterwards.
    void SetDevice(MIDIOutputDevice* device);

    int SentCount() const { return sent.load(std::memory_order_relaxed); }
    /// Full queue, another device, or a write the device refused.
    int DroppedCount() const { return dropped.load(std::memory_order_relaxed); }
    /// Waits, up to bound, until every message scheduled so far is sent or
    /// dropped. False when the bound passed first.
    bool WaitUntilIdle(std::chrono::milliseconds bound) const;

private:
    void Run();
    void Send(const Message& message);
    void SleepUntil(std::int64_t due);

    CSpscRing<Message, kCapacity> ring;
    std::atomic<std::uint32_t> scheduled{0};   // bumped after every push, and to wake for stopping
    std::atomic<std::uint32_t> accepted{0};
    std::atomic<std::uint32_t> handled{0};
    std::atomic<bool> stopping{false};
    std::atomic<int> sent{0};
    std::atomic<int> dropped{0};

    std::mutex deviceLock;   // current against a write in progress
    MIDIOutputDevice* current = nullptr;

    std::mutex sleepLock;    // only the sender thread and the destructor
    std::condition_variable sleepWake;
    std::thread thread;
};
