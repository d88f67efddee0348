#pragma once
// WaveOutDevice: one open ALSA playback PCM, used the waveOut way. The
// owner prepares headers and writes them; a writer thread of the device
// plays each queued header in order and, once ALSA has taken all of its
// frames, reports it done through the callback, where the owner may fill it
// and write it again. Underruns are recovered and counted. A device that
// fails for good (unplugged, its server gone) is reported once and plays
// nothing more; Reset and Close still work on it and never wait for ALSA.
//
// The callback runs on a notifier thread of its own, not on the writer, so
// that the writer keeps feeding ALSA from the next queued header while the
// owner refills the one just played, as a sound card plays on while the
// waveOut callback renders.
//
// Threads: Open, Prepare, Unprepare, Reset and Close on the owner's thread
// (never from the callback); Write on any thread, allocation-free; the PCM
// is touched only by the writer thread between Open and Close.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/WaveOutTypes.h"

struct _snd_pcm;

namespace platform {
class Thread;
}

namespace platform::audio {

class WaveOutDevice {
public:
    /// Headers that can wait in the queue at once.
    static constexpr int kQueueCapacity = 8;
    /// The device's own buffering, in milliseconds, divided into four
    /// periods: enough to ride over a late block, small beside the blocks.
    static constexpr unsigned kBufferMilliseconds = 100;

    WaveOutDevice();
    /// Closes the device if it is open.
    ~WaveOutDevice();
    WaveOutDevice(const WaveOutDevice&) = delete;
    WaveOutDevice& operator=(const WaveOutDevice&) = delete;

    // Results are 0, or the positive error number of the failure.

    /// Opens the PCM for 8- or 16-bit interleaved PCM and starts the writer.
    int Open(const char* pcmName, const WaveFormat& format, WaveOutCallback callback, void* instance);
    int Prepare(WaveHeader& header);
    /// EBUSY while the header is queued.
    int Unprepare(WaveHeader& header);
    /// Queues a prepared header. Any thread; allocation-free. EINVAL when not
    /// prepared, EBUSY when the queue is full, ENODEV once the device is lost.
    int Write(WaveHeader& header);
    /// Stops playback at once and returns every queued header as done (the
    /// callback has heard of each, and of every header played before, when
    /// Reset returns).
    int Reset();
    /// Resets and closes. Does nothing when not open.
    int Close();

    bool IsOpen() const { return pcm != nullptr; }
    bool IsLost() const { return lost.load(std::memory_order_acquire); }
    std::uint32_t UnderrunCount() const { return underruns.load(std::memory_order_relaxed); }
    /// What ALSA granted at Open, in frames.
    unsigned long BufferFrames() const { return bufferFrames; }
    unsigned long PeriodFrames() const { return periodFrames; }

private:
    enum class PlayResult { Played, Interrupted, Lost };

    struct Notice {
        WaveOutMessage message;
        WaveHeader* header;
        int error;
    };

    static void WriterEntry(void* device);
    static void NotifierEntry(void* device);
    void WriterLoop();
    void NotifierLoop();
    /// Marks a header done and hands it to the notifier.
    void PostDone(WaveHeader* header);
    void Post(const Notice& notice);
    PlayResult Play(WaveHeader& header);
    bool Recover(long error);
    void ReportLost(int error);
    void ReturnQueuedHeaders();
    int Configure(const WaveFormat& format);

    _snd_pcm* pcm = nullptr;
    WaveOutCallback callback = nullptr;
    void* instance = nullptr;
    int frameBytes = 0;
    unsigned long bufferFrames = 0;
    unsigned long periodFrames = 0;

    std::unique_ptr<platform::Thread> writer;
    std::unique_ptr<platform::Thread> notifier;
    std::mutex queueLock;   // held only to push or pop an entry
    std::condition_variable wake;         // the writer's
    std::condition_variable noticeWake;   // the notifier's
    std::condition_variable resetDone;    // Reset's
    // Headers waiting to be played, under queueLock.
    WaveHeader* queue[kQueueCapacity] = {};
    int queueHead = 0;
    int queueCount = 0;
    // Notices waiting for the callback, under queueLock. When the callback
    // falls behind this far the writer waits for it.
    static constexpr int kNoticeCapacity = kQueueCapacity + 1;
    Notice notices[kNoticeCapacity] = {};
    int noticeHead = 0;
    int noticeCount = 0;
    std::uint64_t noticesPosted = 0;
    std::uint64_t noticesDelivered = 0;
    std::uint64_t resetNoticeTarget = 0;   // notices to deliver before Reset returns
    unsigned resetRequests = 0;   // under queueLock
    unsigned resetsServed = 0;    // under queueLock
    bool quit = false;            // under queueLock
    std::atomic<bool> interrupt{false};   // read by the writer between writes
    std::atomic<bool> lost{false};
    std::atomic<std::uint32_t> underruns{0};
};

} // namespace platform::audio
