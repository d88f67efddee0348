#include "platform/audio/WaveOutDevice.h"

#include <alsa/asoundlib.h>

#include <cerrno>

#include "platform/Thread.h"

namespace platform::audio {

namespace {

// The writer looks at reset and close requests at least this often while it
// waits for room in the device's buffer.
constexpr int kWaitMilliseconds = 50;

struct HwParamsDeleter {
    void operator()(snd_pcm_hw_params_t* params) const { snd_pcm_hw_params_free(params); }
};
struct SwParamsDeleter {
    void operator()(snd_pcm_sw_params_t* params) const { snd_pcm_sw_params_free(params); }
};

} // namespace

WaveOutDevice::WaveOutDevice() = default;

WaveOutDevice::~WaveOutDevice()
{
    Close();
}

int WaveOutDevice::Open(const char* pcmName, const WaveFormat& format, WaveOutCallback newCallback,
                        void* newInstance)
{
    if (pcm != nullptr)
        return EBUSY;
    if ((format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.channels < 1 || format.channels > 2 ||
        format.sampleRate <= 0 || newCallback == nullptr)
        return EINVAL;
    // Non-blocking: the writer waits with a time-out of its own, so that a
    // device that stops taking data can never hold it (or Reset) for good.
    snd_pcm_t* handle = nullptr;
    const int opened = snd_pcm_open(&handle, pcmName, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (opened < 0)
        return -opened;
    pcm = handle;
    const int configured = Configure(format);
    if (configured != 0) {
        snd_pcm_close(pcm);
        pcm = nullptr;
        return configured;
    }

    callback = newCallback;
    instance = newInstance;
    frameBytes = format.channels * format.bitsPerSample / 8;
    queueHead = queueCount = 0;
    noticeHead = noticeCount = 0;
    noticesPosted = noticesDelivered = resetNoticeTarget = 0;
    resetRequests = resetsServed = 0;
    quit = false;
    interrupt = false;
    lost = false;
    underruns = 0;
    // The notifier renders the next block, so both run at the priority of
    // an audio callback.
    writer = std::make_unique<platform::Thread>(&WriterEntry, this);
    notifier = std::make_unique<platform::Thread>(&NotifierEntry, this);
    writer->SetPriority(platform::kPriorityTimeCritical);
    notifier->SetPriority(platform::kPriorityTimeCritical);
    writer->Resume();
    notifier->Resume();
    return 0;
}

int WaveOutDevice::Configure(const WaveFormat& format)
{
    snd_pcm_hw_params_t* rawHw = nullptr;
    snd_pcm_sw_params_t* rawSw = nullptr;
    if (snd_pcm_hw_params_malloc(&rawHw) < 0 || snd_pcm_sw_params_malloc(&rawSw) < 0) {
        snd_pcm_hw_params_free(rawHw);
        return ENOMEM;
    }
    std::unique_ptr<snd_pcm_hw_params_t, HwParamsDeleter> hw(rawHw);
    std::unique_ptr<snd_pcm_sw_params_t, SwParamsDeleter> sw(rawSw);

    const snd_pcm_format_t sampleFormat = format.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    int result = snd_pcm_hw_params_any(pcm, hw.get());
    if (result >= 0)
        result = snd_pcm_hw_params_set_access(pcm, hw.get(), SND_PCM_ACCESS_RW_INTERLEAVED);
    if (result >= 0)
        result = snd_pcm_hw_params_set_format(pcm, hw.get(), sampleFormat);
    if (result >= 0)
        result = snd_pcm_hw_params_set_channels(pcm, hw.get(), static_cast<unsigned>(format.channels));
    if (result >= 0)
        result = snd_pcm_hw_params_set_rate(pcm, hw.get(), static_cast<unsigned>(format.sampleRate), 0);
    if (result < 0)
        return -result;
    // Nearest sizes the device allows; a refusal leaves its own choice.
    unsigned bufferTime = kBufferMilliseconds * 1000;
    unsigned periodTime = bufferTime / 4;
    snd_pcm_hw_params_set_buffer_time_near(pcm, hw.get(), &bufferTime, nullptr);
    snd_pcm_hw_params_set_period_time_near(pcm, hw.get(), &periodTime, nullptr);
    result = snd_pcm_hw_params(pcm, hw.get());
    if (result < 0)
        return -result;
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_uframes_t period = 0;
    snd_pcm_hw_params_get_buffer_size(hw.get(), &buffer);
    snd_pcm_hw_params_get_period_size(hw.get(), &period, nullptr);
    bufferFrames = buffer;
    periodFrames = period;

    // Start only once the device's buffer is full, so the first block does
    // not run dry while the second is still being written.
    result = snd_pcm_sw_params_current(pcm, sw.get());
    if (result >= 0)
        result = snd_pcm_sw_params_set_start_threshold(pcm, sw.get(), buffer);
    if (result >= 0)
        result = snd_pcm_sw_params_set_avail_min(pcm, sw.get(), period);
    if (result >= 0)
        result = snd_pcm_sw_params(pcm, sw.get());
    return result < 0 ? -result : 0;
}

int WaveOutDevice::Prepare(WaveHeader& header)
{
    if (pcm == nullptr)
        return EBADF;
    if (header.data == nullptr || header.bufferLength == 0 || header.bufferLength % frameBytes != 0)
        return EINVAL;
    header.flags.store(kHeaderPrepared, std::memory_order_release);
    return 0;
}

int WaveOutDevice::Unprepare(WaveHeader& header)
{
    if (header.flags.load(std::memory_order_acquire) & kHeaderInQueue)
        return EBUSY;
    header.flags.fetch_and(~static_cast<std::uint32_t>(kHeaderPrepared), std::memory_order_acq_rel);
    return 0;
}

int WaveOutDevice::Write(WaveHeader& header)
{
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (!(flags & kHeaderPrepared) || (flags & kHeaderInQueue))
        return EINVAL;
    if (lost.load(std::memory_order_acquire))
        return ENODEV;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        if (quit || queueCount == kQueueCapacity)
            return EBUSY;
        queue[(queueHead + queueCount) % kQueueCapacity] = &header;
        ++queueCount;
        header.flags.store((flags & ~static_cast<std::uint32_t>(kHeaderDone)) | kHeaderInQueue,
                           std::memory_order_release);
    }
    wake.notify_one();
    return 0;
}

int WaveOutDevice::Reset()
{
    if (pcm == nullptr)
        return EBADF;
    std::unique_lock<std::mutex> guard(queueLock);
    const unsigned ticket = ++resetRequests;
    interrupt = true;
    wake.notify_all();
    // The writer serves the request within one wait of its loop, and the
    // notifier then delivers what the writer handed it up to that moment.
    resetDone.wait(guard, [&] { return resetsServed - ticket < 0x80000000u; });
    const std::uint64_t target = resetNoticeTarget;
    resetDone.wait(guard, [&] { return noticesDelivered >= target; });
    return 0;
}

int WaveOutDevice::Close()
{
    if (pcm == nullptr)
        return 0;
    Reset();
    {
        std::lock_guard<std::mutex> guard(queueLock);
        quit = true;
        interrupt = true;
    }
    wake.notify_all();
    noticeWake.notify_all();
    writer->Join();
    notifier->Join();
    writer.reset();
    notifier.reset();
    snd_pcm_close(pcm);
    pcm = nullptr;
    return 0;
}

void WaveOutDevice::WriterEntry(void* device)
{
    static_cast<WaveOutDevice*>(device)->WriterLoop();
}

void WaveOutDevice::NotifierEntry(void* device)
{
    static_cast<WaveOutDevice*>(device)->NotifierLoop();
}

void WaveOutDevice::WriterLoop()
{
    for (;;) {
        WaveHeader* header = nullptr;
        {
            std::unique_lock<std::mutex> guard(queueLock);
            wake.wait(guard, [&] {
                return quit || resetRequests != resetsServed || (queueCount > 0 && !lost.load());
            });
            if (resetRequests != resetsServed) {
                guard.unlock();
                // A lost device may no longer answer; nothing is left to stop.
                if (!lost.load()) {
                    snd_pcm_drop(pcm);
                    snd_pcm_prepare(pcm);
                }
                ReturnQueuedHeaders();
                guard.lock();
                resetsServed = resetRequests;
                resetNoticeTarget = noticesPosted;
                interrupt = quit;
                resetDone.notify_all();
                continue;
            }
            if (quit)
                return;
            header = queue[queueHead];
        }

        if (Play(*header) != PlayResult::Played)
            continue;   // a reset or close is waiting, or the device is gone
        {
            std::lock_guard<std::mutex> guard(queueLock);
            queueHead = (queueHead + 1) % kQueueCapacity;
            --queueCount;
        }
        PostDone(header);
    }
}

void WaveOutDevice::NotifierLoop()
{
    for (;;) {
        Notice notice{};
        {
            std::unique_lock<std::mutex> guard(queueLock);
            noticeWake.wait(guard, [&] { return noticeCount > 0 || quit; });
            if (noticeCount == 0)
                return;   // quit, and everything delivered
            notice = notices[noticeHead];
            noticeHead = (noticeHead + 1) % kNoticeCapacity;
            --noticeCount;
        }
        noticeWake.notify_all();   // room for a writer that waits
        callback(instance, notice.message, notice.header, notice.error);
        {
            std::lock_guard<std::mutex> guard(queueLock);
            ++noticesDelivered;
        }
        resetDone.notify_all();
    }
}

void WaveOutDevice::Post(const Notice& notice)
{
    {
        std::unique_lock<std::mutex> guard(queueLock);
        noticeWake.wait(guard, [&] { return noticeCount < kNoticeCapacity || quit; });
        if (noticeCount == kNoticeCapacity)
            return;   // closing: nobody is left to tell
        notices[(noticeHead + noticeCount) % kNoticeCapacity] = notice;
        ++noticeCount;
        ++noticesPosted;
    }
    noticeWake.notify_all();
}

void WaveOutDevice::PostDone(WaveHeader* header)
{
    const std::uint32_t flags = header->flags.load(std::memory_order_acquire);
    header->flags.store((flags & ~static_cast<std::uint32_t>(kHeaderInQueue)) | kHeaderDone,
                        std::memory_order_release);
    Post({WaveOutMessage::Done, header, 0});
}

WaveOutDevice::PlayResult WaveOutDevice::Play(WaveHeader& header)
{
    const unsigned char* bytes = header.data;
    const snd_pcm_uframes_t frames = header.bufferLength / static_cast<std::uint32_t>(frameBytes);
    snd_pcm_uframes_t offset = 0;
    while (offset < frames) {
        if (interrupt.load(std::memory_order_acquire))
            return PlayResult::Interrupted;
        const snd_pcm_sframes_t written =
            snd_pcm_writei(pcm, bytes + offset * static_cast<snd_pcm_uframes_t>(frameBytes), frames - offset);
        if (written == -EAGAIN) {
            const int ready = snd_pcm_wait(pcm, kWaitMilliseconds);
            if (ready < 0 && !Recover(ready)) {
                ReportLost(-ready);
                return PlayResult::Lost;
            }
            continue;
        }
        if (written < 0) {
            if (!Recover(written)) {
                ReportLost(static_cast<int>(-written));
                return PlayResult::Lost;
            }
            continue;
        }
        offset += static_cast<snd_pcm_uframes_t>(written);
    }
    return PlayResult::Played;
}

bool WaveOutDevice::Recover(long error)
{
    if (error == -EPIPE)
        underruns.fetch_add(1, std::memory_order_relaxed);
    if (error != -EPIPE && error != -ESTRPIPE && error != -EINTR)
        return false;
    return snd_pcm_recover(pcm, static_cast<int>(error), 1) == 0;
}

void WaveOutDevice::ReportLost(int error)
{
    if (!lost.exchange(true, std::memory_order_acq_rel))
        Post({WaveOutMessage::DeviceLost, nullptr, error});
}

void WaveOutDevice::ReturnQueuedHeaders()
{
    WaveHeader* returned[kQueueCapacity];
    int count = 0;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        for (; queueCount > 0; --queueCount) {
            returned[count++] = queue[queueHead];
            queueHead = (queueHead + 1) % kQueueCapacity;
        }
    }
    for (int i = 0; i < count; ++i)
        PostDone(returned[i]);
}

} // namespace platform::audio
