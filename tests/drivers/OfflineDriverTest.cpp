// The offline driver renders on the caller's thread, block after block,
// only while started.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "drivers/OfflineDriver.h"

namespace {

struct Counter {
    int calls = 0;
    std::thread::id thread;
    int channels = 0;
    int length = 0;

    static void Callback(void* context, int channelCount, double** buffers, int frames)
    {
        auto* counter = static_cast<Counter*>(context);
        ++counter->calls;
        counter->thread = std::this_thread::get_id();
        counter->channels = channelCount;
        counter->length = frames;
        for (int c = 0; c < channelCount; ++c) {
            for (int s = 0; s < frames; ++s)
                buffers[c][s] = counter->calls * 100 + c * 10 + (s % 10);
        }
    }
};

} // namespace

TEST(OfflineDriver, RendersBackToBackOnTheCallersThreadWhileStarted)
{
    COfflineDriver driver(48000, 64, 3);
    EXPECT_EQ(driver.GetSampleRate(), 48000);
    EXPECT_EQ(driver.GetBufferSize(), 64);
    EXPECT_EQ(driver.GetChannelCount(), 3);
    EXPECT_TRUE(driver.IsAvailable());

    Counter counter;
    driver.SetCallback(AudioCallback{&Counter::Callback, &counter});
    driver.Render(5);
    EXPECT_EQ(counter.calls, 0);   // not started

    driver.Start();
    std::vector<double> firstSamples;
    driver.Render(4, [&](int channels, const double* const* buffers, int length) {
        EXPECT_EQ(channels, 3);
        EXPECT_EQ(length, 64);
        firstSamples.push_back(buffers[2][3]);
    });
    EXPECT_EQ(counter.calls, 4);
    EXPECT_EQ(counter.thread, std::this_thread::get_id());
    EXPECT_EQ(counter.channels, 3);
    EXPECT_EQ(counter.length, 64);
    // The sink sees each block as the callback left it.
    EXPECT_EQ(firstSamples, (std::vector<double>{123.0, 223.0, 323.0, 423.0}));
    EXPECT_EQ(driver.Buffers()[1][63], 400.0 + 10.0 + 3.0);

    driver.Stop();
    driver.Render(3);
    EXPECT_EQ(counter.calls, 4);
}

TEST(OfflineDriver, StartsWithSilence)
{
    COfflineDriver driver(44100, 32, 2);
    driver.Start();
    driver.Buffers()[0][0] = 1.0;
    driver.Buffers()[1][31] = 1.0;
    driver.Render(1);
    for (int c = 0; c < 2; ++c) {
        for (int s = 0; s < 32; ++s)
            ASSERT_EQ(driver.Buffers()[c][s], 0.0);
    }
}
