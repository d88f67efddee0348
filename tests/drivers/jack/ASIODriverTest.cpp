// CASIODriver against a JACK server of the test's own: what it probes and
// chooses, the conversions of its sample types, a real studio heard through
// it on four channels by a second client, and the server stopping while it
// plays.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "drivers/ASIODriver.h"
#include "drivers/DriverMessages.h"
#include "framework/Error.h"
#include "host/AppOptions.h"
#include "tests/drivers/jack/JackProbeClient.h"
#include "tests/drivers/jack/JackTestFixtures.h"
#include "tests/drivers/jack/StudioRig.h"
#include "tests/drivers/jack/WaitUntil.h"
#include "tests/support/DriverMessageLog.h"

using jack_test::CJackProbeClient;
using jack_test::CStudioRig;
using jack_test::WaitUntil;
using test_support::DriverMessageLog;

namespace {

constexpr int kRate = jack_test::kServerRate;
constexpr int kPeriod = jack_test::kServerPeriod;
constexpr int kOutputs = jack_test::kServerOutputs;
constexpr std::int32_t k44100 = 4;
constexpr std::int32_t k48000 = 8;
constexpr std::int32_t k96000 = 16;

/// Counts the blocks the engine is asked for.
struct CountingCallback {
    std::atomic<int> blocks{0};
    static void Render(void* context, int channels, double** buffers, int length)
    {
        for (int c = 0; c < channels; ++c)
            for (int s = 0; s < length; ++s)
                buffers[c][s] = 0.0;
        static_cast<CountingCallback*>(context)->blocks.fetch_add(1);
    }
    AudioCallback Callback() { return AudioCallback{&Render, this}; }
};

class ASIODriverTest : public jack_test::JackServerTest {
protected:
    CAppOptions options{""};
};
class ASIODriverWithoutServer : public jack_test::JackTest {};

} // namespace

TEST(ASIODriverRates, ChoosesTheStoredRateOrTheHighestSupported)
{
    EXPECT_EQ(CASIODriver::ChooseRateFlag(k44100, k44100 | k48000), k44100);
    EXPECT_EQ(CASIODriver::ChooseRateFlag(k96000, k44100 | k48000), k48000);
    EXPECT_EQ(CASIODriver::ChooseRateFlag(0, 2 | k44100), k44100);
    EXPECT_EQ(CASIODriver::ChooseRateFlag(k44100 | k48000, k48000), k48000)
        << "of several stored rates, one the driver has";
    EXPECT_EQ(CASIODriver::ChooseRateFlag(k44100, 1), 0) << "11025 alone is not among the rates chosen";
    EXPECT_EQ(CASIODriver::RateOfFlag(k48000), 48000);
    EXPECT_EQ(CASIODriver::RateOfFlag(0), 0);
    EXPECT_EQ(CASIODriver::DescribeRate(k44100, 0), "44.1kHz");
    EXPECT_EQ(CASIODriver::DescribeRate(0, 88200), "88.2kHz");
}

TEST(ASIODriverConversion, ConvertsEachSampleTypeWithClipping)
{
    const double in[7] = {1.0, -1.0, 0.5, -0.5, 1.5, -2.0, std::nan("")};

    std::int32_t int32[7];
    CASIODriver::ConvertChannel(in, int32, 7, platform::audio::kAsioInt32LSB);
    const std::int64_t expected32[7] = {2147483647, -2147483648LL, 1073741823, -1073741824, 2147483647,
                                        -2147483648LL, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(int32[i], expected32[i]) << "sample " << i;

    std::int16_t int16[7];
    CASIODriver::ConvertChannel(in, int16, 7, platform::audio::kAsioInt16LSB);
    const int expected16[7] = {32767, -32768, 16383, -16384, 32767, -32768, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(int16[i], expected16[i]) << "sample " << i;

    float float32[7];
    CASIODriver::ConvertChannel(in, float32, 7, platform::audio::kAsioFloat32LSB);
    const float expectedFloat[7] = {1.0f, -1.0f, 0.5f, -0.5f, 1.0f, -1.0f, 0.0f};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(float32[i], expectedFloat[i]) << "sample " << i;

    std::int32_t untouched[2] = {7, 7};
    CASIODriver::ConvertChannel(in, untouched, 2, platform::audio::kAsioFloat64LSB);
    EXPECT_EQ(untouched[0], 7) << "a type it does not convert is left as the driver gave it";
}

TEST_F(ASIODriverWithoutServer, IsUnavailableAndStartsNothing)
{
    jack_test::PointJackNowhere();
    CAppOptions options("");
    CASIODriver driver(options);
    EXPECT_FALSE(driver.IsAvailable());
    EXPECT_EQ(driver.GetSelected(), -1);
    EXPECT_EQ(driver.GetChannelCount(), 0);
    EXPECT_EQ(driver.GetSampleRate(), 44100);
    EXPECT_EQ(driver.GetBufferSize(), 512);
    EXPECT_EQ(driver.GetRateFlag(), 4);
    driver.Start();
    EXPECT_FALSE(driver.IsRunning());
    driver.Stop();
}

TEST_F(ASIODriverTest, ProbesTheServerAndRunsAtItsRate)
{
    options.asioRateFlags = k44100;
    CASIODriver driver(options);
    ASSERT_TRUE(driver.IsAvailable());
    ASSERT_EQ(driver.Drivers().size(), 1u);
    const CASIODriver::DriverRecord& record = driver.Drivers()[0];
    EXPECT_EQ(record.name, "JACK (" + server.Name() + ")");
    EXPECT_EQ(record.rateFlags, k48000);
    EXPECT_EQ(record.preferredBufferSize, kPeriod);
    EXPECT_EQ(record.outputCount, kOutputs);
    EXPECT_EQ(driver.GetSelected(), 0);
    EXPECT_EQ(driver.GetChannelCount(), kOutputs);
    EXPECT_EQ(driver.GetBufferSize(), kPeriod);
    EXPECT_EQ(driver.GetRateFlag(), k48000) << "44.1 kHz stored, only 48 kHz offered";
    EXPECT_EQ(driver.GetSampleRate(), 48000);
    EXPECT_STREQ(driver.GetName(), "ASIO");
}

TEST_F(ASIODriverTest, PlaysAFourChannelStudioThatASecondClientHears)
{
    CASIODriver driver(options);
    ASSERT_EQ(driver.GetChannelCount(), kOutputs);
    CStudioRig rig(driver.GetBufferSize(), driver.GetSampleRate(), driver.GetChannelCount());
    EXPECT_EQ(rig.MasterInputNames(), (std::vector<std::string>{"Channel 1", "Channel 2", "Channel 3", "Channel 4"}));
    const double levels[kOutputs] = {0.125, -0.25, 0.375, -0.5};
    for (int i = 0; i < kOutputs; ++i)
        rig.FeedMaster(i, levels[i]);

    driver.SetCallback(rig.Callback());
    driver.Start();
    ASSERT_TRUE(driver.IsRunning());
    CJackProbeClient probe(kOutputs, 8 * kPeriod);
    ASSERT_TRUE(probe.IsOpen());
    for (int i = 0; i < kOutputs; ++i) {
        const std::string port = driver.OutputPortName(i);
        EXPECT_EQ(probe.ConnectionsOf(port), std::vector<std::string>{"system:playback_" + std::to_string(i + 1)});
        ASSERT_TRUE(probe.Listen(port, i));
    }
    // The master gain glides up from silence for about 6000 samples; from
    // then on every sample is the machine's level, exactly (the levels are
    // exact in single precision).
    const bool arrived = WaitUntil([&] {
        probe.Restart();
        if (!WaitUntil([&] { return probe.Frames() >= 8 * kPeriod; }))
            return false;
        for (int i = 0; i < kOutputs; ++i) {
            for (float sample : probe.Recorded(i)) {
                if (sample != static_cast<float>(levels[i]))
                    return false;
            }
        }
        return true;
    });
    driver.Stop();
    EXPECT_TRUE(arrived) << "each channel's level on the playback side";
    EXPECT_FALSE(driver.IsRunning());
    EXPECT_EQ(driver.OutputPortName(0), "") << "Stop leaves the server";
}

TEST_F(ASIODriverTest, ServerStoppingWhilePlayingStopsTheDriverUntilItStartsAgain)
{
    DriverMessageLog messages;
    SetDriverMessageHandler(&DriverMessageLog::Keep, &messages);
    CASIODriver driver(options);
    CountingCallback engine;
    driver.SetCallback(engine.Callback());
    driver.Start();
    ASSERT_TRUE(WaitUntil([&] { return engine.blocks.load() > 10; }));

    server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return driver.HasLostDevice(); }));
    EXPECT_FALSE(driver.IsRunning());
    const int blocks = engine.blocks.load();
    driver.Stop();
    EXPECT_EQ(engine.blocks.load(), blocks) << "quiet once the server is gone";
    std::vector<std::string> texts = messages.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("ASIO: Device Lost <", 0), 0u) << texts[0];

    try {
        driver.Start();
        FAIL() << "started without a server";
    } catch (const CError& error) {
        EXPECT_EQ(std::string(error.what()), "ASIO: Can't Load Driver <JACK (" + server.Name() + ")>");
    }

    std::string why;
    ASSERT_TRUE(server.Start(kRate, kPeriod, kOutputs, &why)) << why;
    driver.Start();
    EXPECT_TRUE(WaitUntil([&] { return engine.blocks.load() > blocks + 10; })) << "plays again";
    driver.Stop();
    SetDriverMessageHandler(nullptr, nullptr);
    EXPECT_EQ(messages.Texts().size(), 1u);
}
