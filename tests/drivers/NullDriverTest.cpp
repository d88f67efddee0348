// The null driver: buffer-size correction, its format, and a real thread
// that calls the callback until Stop, which lets the block in progress
// finish.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "drivers/NullDriver.h"
#include "framework/Error.h"
#include "host/AppOptions.h"
#include "platform/Thread.h"

namespace {

// Bounds for waits that only a broken driver reaches.
constexpr auto kBound = std::chrono::seconds(10);

/// A fresh folder for an options file, removed afterwards.
std::string MakeScratchFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/corvane-null-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

/// Options read from a file of their own that does not exist (so the
/// defaults), never the user's, and never written back.
struct TestOptions {
    explicit TestOptions(std::int32_t driver = 0, std::int32_t bufferSize = 512, std::int32_t format = 2048)
    {
        options.DisableSaveOnExit();
        options.outputDriver = driver;
        options.nullBufferSize = bufferSize;
        options.nullFormat = format;
    }
    ~TestOptions()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder = MakeScratchFolder();
    CAppOptions options{folder + "/Corvane.opt"};
};

/// What the driver's callback saw.
struct CallbackLog {
    std::atomic<int> calls{0};
    std::atomic<int> finished{0};
    std::atomic<bool> inProgress{false};
    std::atomic<int> channels{0};
    std::atomic<int> length{0};
    std::atomic<bool> buffersValid{true};
    std::atomic<platform::Thread*> thread{nullptr};
    std::atomic<bool> otherThread{false};
    // When set, the next call waits until released (up to the bound).
    std::atomic<bool> holdNext{false};
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};

    static void Callback(void* context, int channelCount, double** buffers, int frames)
    {
        auto* log = static_cast<CallbackLog*>(context);
        log->inProgress = true;
        log->channels = channelCount;
        log->length = frames;
        platform::Thread* current = platform::Thread::Current();
        platform::Thread* expected = nullptr;
        if (!log->thread.compare_exchange_strong(expected, current) && expected != current)
            log->otherThread = true;
        for (int c = 0; c < channelCount; ++c) {
            if (buffers[c] == nullptr) {
                log->buffersValid = false;
                continue;
            }
            for (int s = 0; s < frames; ++s)
                buffers[c][s] = 0.25;   // every sample is writable
        }
        log->calls.fetch_add(1);
        if (log->holdNext.exchange(false)) {
            log->held = true;
            const auto deadline = std::chrono::steady_clock::now() + kBound;
            while (!log->release && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        log->finished.fetch_add(1);
        log->inProgress = false;
    }

    AudioCallback Get() { return AudioCallback{&Callback, this}; }
};

template <class Predicate>
bool WaitUntil(Predicate predicate)
{
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(NullDriver, CorrectsTheStoredBufferSizeAndWritesItBack)
{
    const std::pair<int, int> cases[] = {{100, 2048}, {0, 2048},     {-5, 2048},    {511, 2048},
                                         {512, 512},  {1000, 512},   {1023, 512},   {1024, 1024},
                                         {8191, 7680}, {8192, 8192}, {8193, 8192},  {9000, 8192}};
    for (const auto& [stored, corrected] : cases) {
        TestOptions setup(0, stored);
        CNullDriver driver(setup.options);
        EXPECT_EQ(driver.GetBufferSize(), corrected) << stored;
        EXPECT_EQ(setup.options.nullBufferSize, corrected) << stored;
    }
    // Another driver chosen (or none): 2048 whatever was stored.
    for (int other : {-1, 1, 2}) {
        TestOptions setup(other, 1000);
        CNullDriver driver(setup.options);
        EXPECT_EQ(driver.GetBufferSize(), 2048) << other;
        EXPECT_EQ(setup.options.nullBufferSize, 2048) << other;
    }
}

TEST(NullDriver, ReportsItsFormat)
{
    TestOptions stereo(0, 2048, 2048);
    CNullDriver driver(stereo.options);
    EXPECT_STREQ(driver.GetName(), "Null");
    EXPECT_TRUE(driver.IsAvailable());
    EXPECT_EQ(driver.GetSampleRate(), 44100);
    EXPECT_EQ(driver.GetChannelCount(), 2);
    EXPECT_EQ(driver.GetBufferSize(), 2048);
    EXPECT_EQ(driver.GetBitsPerSample(), 16);

    TestOptions mono(0, 512, 0x10);
    CNullDriver small(mono.options);
    EXPECT_EQ(small.GetSampleRate(), 22050);
    EXPECT_EQ(small.GetChannelCount(), 1);
    EXPECT_EQ(small.GetBitsPerSample(), 8);
}

TEST(NullDriver, AStoredFormatWithoutFormatBitsIsRefused)
{
    TestOptions setup(0, 512, 0);
    try {
        CNullDriver driver(setup.options);
        ADD_FAILURE() << "constructed";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "Invalid Format");
    }
}

TEST(NullDriver, StartCallsTheCallbackRepeatedlyOnItsOwnThread)
{
    TestOptions setup(0, 512, 0x10);   // 22050 Hz mono: a block every 23 ms
    CNullDriver driver(setup.options);
    CallbackLog log;
    driver.SetCallback(log.Get());
    EXPECT_EQ(log.calls, 0);   // nothing before Start

    driver.Start();
    ASSERT_TRUE(WaitUntil([&] { return log.calls >= 4; }));
    driver.Stop();
    EXPECT_EQ(log.channels, 1);
    EXPECT_EQ(log.length, 512);
    EXPECT_TRUE(log.buffersValid);
    EXPECT_EQ(log.thread.load(), driver.GetHandle());
    EXPECT_FALSE(log.otherThread);
}

TEST(NullDriver, StopFinishesTheBlockInProgressAndNothingFollowsUntilStart)
{
    TestOptions setup(0, 512);   // 44100 Hz stereo: a block every 11 ms
    CNullDriver driver(setup.options);
    CallbackLog log;
    driver.SetCallback(log.Get());
    driver.Start();
    ASSERT_TRUE(WaitUntil([&] { return log.calls >= 2; }));

    log.holdNext = true;
    ASSERT_TRUE(WaitUntil([&] { return log.held.load(); }));
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        driver.Stop();
        stopped = true;
    });
    // Whatever the timing, Stop may not return while the block runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(stopped);
    EXPECT_TRUE(log.inProgress);
    log.release = true;
    stopper.join();
    EXPECT_FALSE(log.inProgress);
    EXPECT_EQ(log.finished.load(), log.calls.load());

    // Several periods and an idle sleep later, still no call.
    const int afterStop = log.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(log.calls, afterStop);

    driver.Start();
    ASSERT_TRUE(WaitUntil([&] { return log.calls >= afterStop + 2; }));
    driver.Stop();
}

TEST(NullDriver, ChangedSettingsAreTakenOverAtStop)
{
    TestOptions setup(0, 2048);
    CNullDriver driver(setup.options);
    CallbackLog log;
    driver.SetCallback(log.Get());
    driver.Start();
    ASSERT_TRUE(WaitUntil([&] { return log.calls >= 1; }));

    driver.Configure(1000, 0x10);
    EXPECT_EQ(setup.options.nullBufferSize, 512);
    EXPECT_EQ(setup.options.nullFormat, 0x10);
    // Until Stop the running settings stay.
    EXPECT_EQ(driver.GetBufferSize(), 2048);
    EXPECT_EQ(driver.GetSampleRate(), 44100);
    EXPECT_EQ(driver.GetChannelCount(), 2);

    driver.Stop();
    EXPECT_EQ(driver.GetBufferSize(), 512);
    EXPECT_EQ(driver.GetSampleRate(), 22050);
    EXPECT_EQ(driver.GetChannelCount(), 1);
    EXPECT_EQ(driver.GetBitsPerSample(), 8);

    const int before = log.calls;
    driver.Start();
    ASSERT_TRUE(WaitUntil([&] { return log.calls >= before + 2; }));
    driver.Stop();
    EXPECT_EQ(log.length, 512);
    EXPECT_EQ(log.channels, 1);
}

TEST(NullDriver, WithoutACallbackItWritesSilenceAndCanBeDestroyedRunning)
{
    TestOptions setup(0, 512);
    auto driver = std::make_unique<CNullDriver>(setup.options);
    CallbackLog log;
    driver->SetCallback(log.Get());
    driver->SetCallback(AudioCallback{});   // back to the silent default
    driver->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    driver.reset();   // stops its thread first
    EXPECT_EQ(log.calls, 0);
}
