// The ASIO-style layer over JACK against a JACK server of the test's own:
// the driver list, what a loaded driver reports, the two halves the buffer
// switch fills in turn reaching the playback side, and the server going
// away while the driver plays.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <cmath>
#include <string>
#include <vector>

#include "platform/audio/AsioDriverList.h"
#include "platform/audio/AsioJackDriver.h"
#include "tests/drivers/jack/JackProbeClient.h"
#include "tests/drivers/jack/JackTestFixtures.h"
#include "tests/drivers/jack/WaitUntil.h"

using namespace platform::audio;
using jack_test::CJackProbeClient;
using jack_test::WaitUntil;

namespace {

constexpr int kPeriod = jack_test::kServerPeriod;
constexpr int kOutputs = jack_test::kServerOutputs;

// The buffer switch carries no context, as ASIO's does.
struct Switches {
    AsioBufferInfo infos[kOutputs];
    std::atomic<int> count{0};
    std::atomic<int> lastIndex{-1};
    std::atomic<bool> alternated{true};
} switches;

// Output i plays 0.1 x (i + 1) from half 0 and the negative from half 1.
void FillHalf(std::int32_t index, bool)
{
    const int previous = switches.lastIndex.exchange(index);
    if (previous == index)
        switches.alternated = false;
    for (int i = 0; i < kOutputs; ++i) {
        auto* half = static_cast<float*>(switches.infos[i].buffers[index]);
        const float level = 0.1f * static_cast<float>(i + 1) * (index == 0 ? 1.0f : -1.0f);
        for (int s = 0; s < kPeriod; ++s)
            half[s] = level;
    }
    switches.count.fetch_add(1);
}

struct LossReports {
    std::atomic<int> count{0};
    std::string reason;
    static void Keep(void* context, const char* reason)
    {
        auto* self = static_cast<LossReports*>(context);
        self->reason = reason;
        self->count.fetch_add(1);
    }
};

class AsioJackDriverTest : public jack_test::JackServerTest {};
class AsioDriverListTest : public jack_test::JackTest {};

AsioDriverEntry TheServer()
{
    const std::vector<AsioDriverEntry> drivers = ListAsioDrivers();
    return drivers.empty() ? AsioDriverEntry{} : drivers.front();
}

} // namespace

TEST(AsioDriverList, JoinsAsCorvaneStudioUnlessTheEnvironmentNamesAnother)
{
    const std::string ours = JackClientName();
    unsetenv("CORVANE_JACK_CLIENT_NAME");
    EXPECT_EQ(JackClientName(), "Corvane Studio");
    setenv("CORVANE_JACK_CLIENT_NAME", ours.c_str(), 1);
    EXPECT_EQ(JackClientName(), ours);
}

TEST_F(AsioDriverListTest, IsEmptyWithoutAReachableServer)
{
    jack_test::PointJackNowhere();
    EXPECT_TRUE(ListAsioDrivers().empty());
    AsioJackDriver driver;
    EXPECT_FALSE(driver.Load({"JACK (nowhere)", DefaultJackServer()}));
    EXPECT_EQ(driver.Start(), kAsioNotPresent);
}

TEST_F(AsioJackDriverTest, ListsTheServerAndReportsItsSizesRateAndOutputs)
{
    const std::vector<AsioDriverEntry> drivers = ListAsioDrivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].serverName, server.Name());
    EXPECT_EQ(drivers[0].name, "JACK (" + server.Name() + ")");

    AsioJackDriver driver;
    ASSERT_TRUE(driver.Load(drivers[0]));
    std::int32_t minimum = 0, maximum = 0, preferred = 0, granularity = -1;
    EXPECT_EQ(driver.GetBufferSize(&minimum, &maximum, &preferred, &granularity), kAsioOk);
    EXPECT_EQ(minimum, kPeriod);
    EXPECT_EQ(maximum, kPeriod);
    EXPECT_EQ(preferred, kPeriod);
    EXPECT_EQ(granularity, 0);
    std::int32_t inputs = -1, outputs = -1;
    EXPECT_EQ(driver.GetChannels(&inputs, &outputs), kAsioOk);
    EXPECT_EQ(outputs, kOutputs);
    EXPECT_EQ(inputs, 0);
    EXPECT_EQ(driver.CanSampleRate(48000.0), kAsioOk);
    EXPECT_EQ(driver.CanSampleRate(44100.0), kAsioNoClock);
    EXPECT_EQ(driver.SetSampleRate(96000.0), kAsioNoClock);
    double rate = 0.0;
    EXPECT_EQ(driver.GetSampleRate(&rate), kAsioOk);
    EXPECT_EQ(rate, 48000.0);

    AsioChannelInfo info;
    info.channel = 3;
    EXPECT_EQ(driver.GetChannelInfo(&info), kAsioOk);
    EXPECT_EQ(info.type, kAsioFloat32LSB);
    info.channel = kOutputs;
    EXPECT_EQ(driver.GetChannelInfo(&info), kAsioInvalidParameter);
}

TEST_F(AsioJackDriverTest, PlaysTheHalvesInTurnOnPortsConnectedToPlayback)
{
    AsioJackDriver driver;
    ASSERT_TRUE(driver.Load(TheServer()));
    for (int i = 0; i < kOutputs; ++i) {
        switches.infos[i] = AsioBufferInfo{};
        switches.infos[i].channelNum = i;
    }
    AsioCallbacks callbacks;
    callbacks.bufferSwitch = &FillHalf;
    ASSERT_EQ(driver.CreateBuffers(switches.infos, kOutputs, kPeriod, &callbacks), kAsioOk);
    EXPECT_EQ(driver.CreateBuffers(switches.infos, kOutputs, kPeriod, &callbacks), kAsioInvalidMode);
    ASSERT_EQ(driver.Start(), kAsioOk);

    CJackProbeClient probe(kOutputs, 16 * kPeriod);
    ASSERT_TRUE(probe.IsOpen());
    for (int i = 0; i < kOutputs; ++i) {
        const std::string port = driver.OutputPortName(i);
        EXPECT_EQ(port, JackClientName() + ":Channel " + std::to_string(i + 1));
        const std::vector<std::string> connected = probe.ConnectionsOf(port);
        ASSERT_EQ(connected.size(), 1u) << port;
        EXPECT_EQ(connected[0], "system:playback_" + std::to_string(i + 1));
        ASSERT_TRUE(probe.Listen(port, i));
    }
    probe.Restart();
    ASSERT_TRUE(WaitUntil([&] { return probe.Frames() >= 16 * kPeriod; }));
    EXPECT_EQ(driver.Stop(), kAsioOk);
    EXPECT_EQ(driver.DisposeBuffers(), kAsioOk);
    EXPECT_TRUE(switches.alternated.load()) << "the switch filled halves 0 and 1 in turn";

    for (int i = 0; i < kOutputs; ++i) {
        const std::vector<float> heard = probe.Recorded(i);
        const float level = 0.1f * static_cast<float>(i + 1);
        int positive = 0, negative = 0;
        for (float sample : heard) {
            // The first frames may predate the connection; after it, only
            // this output's two levels arrive.
            if (sample == level)
                ++positive;
            else if (sample == -level)
                ++negative;
            else
                ASSERT_EQ(sample, 0.0f) << "output " << i + 1;
        }
        EXPECT_GE(positive, 4 * kPeriod) << "output " << i + 1;
        EXPECT_GE(negative, 4 * kPeriod) << "output " << i + 1;
    }
}

// One buffer switch sleeps far longer than a period.
struct LateSwitch {
    static inline std::atomic<int> calls{0};
    static inline std::atomic<bool> entered{false};
    static inline std::atomic<bool> finished{false};
    static void Switch(std::int32_t, bool)
    {
        if (calls.fetch_add(1) != 10)
            return;
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        finished = true;
    }
};

TEST_F(AsioJackDriverTest, CountsTheXrunsOfALateBufferSwitch)
{
    AsioJackDriver driver;
    ASSERT_TRUE(driver.Load(TheServer()));
    AsioBufferInfo infos[1];
    AsioCallbacks callbacks;
    callbacks.bufferSwitch = &LateSwitch::Switch;
    ASSERT_EQ(driver.CreateBuffers(infos, 1, kPeriod, &callbacks), kAsioOk);
    ASSERT_EQ(driver.Start(), kAsioOk);
    EXPECT_TRUE(WaitUntil([&] { return driver.XrunCount() > 0; }));
    EXPECT_TRUE(WaitUntil([&] { return LateSwitch::finished.load(); }));
    EXPECT_EQ(driver.Stop(), kAsioOk);
}

TEST_F(AsioJackDriverTest, StopLetsABufferSwitchInProgressFinish)
{
    // JACK ends the process thread by cancelling it; the sleep is a point
    // where a cancel would strike in the middle of the host's code.
    LateSwitch::calls = 0;
    LateSwitch::entered = false;
    LateSwitch::finished = false;
    AsioJackDriver driver;
    ASSERT_TRUE(driver.Load(TheServer()));
    AsioBufferInfo infos[1];
    AsioCallbacks callbacks;
    callbacks.bufferSwitch = &LateSwitch::Switch;
    ASSERT_EQ(driver.CreateBuffers(infos, 1, kPeriod, &callbacks), kAsioOk);
    ASSERT_EQ(driver.Start(), kAsioOk);
    ASSERT_TRUE(WaitUntil([&] { return LateSwitch::entered.load(); }));
    EXPECT_EQ(driver.Stop(), kAsioOk);
    EXPECT_TRUE(LateSwitch::finished.load()) << "the switch ran to its end before Stop returned";
}

TEST_F(AsioJackDriverTest, TellsOnceWhenTheServerGoesAwayAndStillUnloads)
{
    LossReports reports;
    AsioJackDriver driver;
    driver.SetLostHandler(&LossReports::Keep, &reports);
    ASSERT_TRUE(driver.Load(TheServer()));
    AsioBufferInfo infos[2];
    infos[1].channelNum = 1;
    AsioCallbacks callbacks;
    callbacks.bufferSwitch = [](std::int32_t, bool) {};
    ASSERT_EQ(driver.CreateBuffers(infos, 2, kPeriod, &callbacks), kAsioOk);
    ASSERT_EQ(driver.Start(), kAsioOk);

    server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return reports.count.load() > 0; }));
    EXPECT_TRUE(driver.IsLost());
    EXPECT_FALSE(reports.reason.empty());
    EXPECT_EQ(driver.Init(), false);
    EXPECT_EQ(driver.Stop(), kAsioOk) << "nothing is left to stop";
    EXPECT_EQ(driver.DisposeBuffers(), kAsioOk);
    driver.Unload();
    EXPECT_EQ(reports.count.load(), 1);
}
