// The real-time paths of both drivers allocate nothing once playing: the
// global allocation functions are replaced here (so this is a program of
// its own) and every operator new is counted on the threads that play: the
// ALSA writer and notifier, and JACK's process thread.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>

#include "drivers/ASIODriver.h"
#include "drivers/WaveOutDriver.h"
#include "host/AppOptions.h"
#include "tests/drivers/alsa/AlsaTestConfig.h"
#include "tests/drivers/jack/JackTestFixtures.h"
#include "tests/drivers/jack/WaitUntil.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
std::thread::id mainThread;
// When set, only this thread's allocations count (JACK's own threads are
// not the driver's business); otherwise every thread but the test's.
std::atomic<std::thread::id> watchedThread{};

void* Allocate(std::size_t size) noexcept
{
    if (counting.load(std::memory_order_relaxed)) {
        const std::thread::id self = std::this_thread::get_id();
        const std::thread::id watched = watchedThread.load(std::memory_order_relaxed);
        if (watched != std::thread::id() ? self == watched : self != mainThread)
            allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size != 0 ? size : 1);
}

void* AllocateOrThrow(std::size_t size)
{
    void* memory = Allocate(size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

/// A sine per channel, from state sized before playing.
struct Tone {
    std::atomic<int> blocks{0};
    std::atomic<std::thread::id> thread{};
    double phase = 0.0;

    static void Render(void* context, int channels, double** buffers, int length)
    {
        auto* self = static_cast<Tone*>(context);
        self->thread = std::this_thread::get_id();
        for (int s = 0; s < length; ++s) {
            const double value = 0.25 * std::sin(self->phase);
            self->phase += 0.05;
            for (int c = 0; c < channels; ++c)
                buffers[c][s] = value;
        }
        self->blocks.fetch_add(1);
    }
    AudioCallback Callback() { return AudioCallback{&Render, this}; }
};

/// Plays until warmed up, then counts while blocks more are rendered.
long AllocationsWhilePlaying(CAudioOutputDriver& driver, Tone& tone, int blocks, bool onlyCallbackThread)
{
    mainThread = std::this_thread::get_id();
    driver.SetCallback(tone.Callback());
    driver.Start();
    EXPECT_TRUE(jack_test::WaitUntil([&] { return tone.blocks.load() >= 8; }));
    watchedThread = onlyCallbackThread ? tone.thread.load() : std::thread::id();
    allocations = 0;
    const int start = tone.blocks.load();
    counting = true;
    EXPECT_TRUE(jack_test::WaitUntil([&] { return tone.blocks.load() >= start + blocks; }));
    counting = false;
    driver.Stop();
    return allocations.load();
}

class DriverAllocation : public jack_test::JackServerTest {};

} // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

TEST(WaveOutAllocation, WriterAndNotifierAllocateNothingWhilePlaying)
{
    alsa_test::CAlsaTestConfig::Use();
    CAppOptions options("");
    options.outputDriver = 1;
    options.waveOutBufferSize = 2048;
    CWaveOutDriver driver(options);
    Tone tone;
    EXPECT_EQ(AllocationsWhilePlaying(driver, tone, 200, false), 0);
}

TEST_F(DriverAllocation, ASIOBufferSwitchAllocatesNothingWhilePlaying)
{
    CAppOptions options("");
    CASIODriver driver(options);
    ASSERT_EQ(driver.GetChannelCount(), jack_test::kServerOutputs);
    Tone tone;
    EXPECT_EQ(AllocationsWhilePlaying(driver, tone, 100, true), 0);
}
