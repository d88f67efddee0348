// The waveOut-style layer over ALSA, on the test configuration's devices:
// the device list and its probed format bits, the writer thread's order of
// play and done reports, Reset, and a device that fails while playing.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/WaveOutDevice.h"
#include "platform/audio/WaveOutDeviceList.h"
#include "tests/drivers/alsa/AlsaTestConfig.h"

using namespace platform::audio;
using alsa_test::CAlsaTestConfig;
using alsa_test::WaitUntil;

namespace {

constexpr int kFrames = 1024;

WaveFormat Stereo16At44k()
{
    WaveFormat format;
    format.channels = 2;
    format.sampleRate = 44100;
    format.bitsPerSample = 16;
    format.blockAlign = 4;
    format.averageBytesPerSecond = 176400;
    return format;
}

void Fill(std::vector<unsigned char>& bytes, std::int16_t code)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        bytes[i] = static_cast<unsigned char>(code & 0xFF);
        bytes[i + 1] = static_cast<unsigned char>((code >> 8) & 0xFF);
    }
}

/// Two headers that the callback fills with the number of the write and
/// queues again, until a given number of writes.
struct Player {
    WaveOutDevice device;
    std::array<std::vector<unsigned char>, 2> data{std::vector<unsigned char>(kFrames * 4),
                                                   std::vector<unsigned char>(kFrames * 4)};
    std::array<WaveHeader, 2> headers;
    std::atomic<int> writes{0};
    std::atomic<int> done{0};
    std::atomic<int> lostReports{0};
    std::atomic<int> lostError{0};
    std::atomic<bool> callbackOnCaller{false};
    std::thread::id caller = std::this_thread::get_id();
    int writeLimit = 0;

    static void Callback(void* instance, WaveOutMessage message, WaveHeader* header, int error)
    {
        auto* self = static_cast<Player*>(instance);
        if (std::this_thread::get_id() == self->caller)
            self->callbackOnCaller = true;
        if (message == WaveOutMessage::DeviceLost) {
            self->lostError = error;
            self->lostReports.fetch_add(1);
            return;
        }
        self->done.fetch_add(1);
        if (self->writes.load() < self->writeLimit)
            self->WriteNext(*header);
    }

    /// Numbers and queues under one lock, so that the order of the numbers
    /// is the order of the writes, whichever thread writes.
    void WriteNext(WaveHeader& header)
    {
        std::lock_guard<std::mutex> guard(writeOrder);
        const int number = writes.fetch_add(1) + 1;
        Fill(data[&header == &headers[0] ? 0 : 1], static_cast<std::int16_t>(number));
        device.Write(header);
    }

    std::mutex writeOrder;

    int Open(const char* name)
    {
        const int result = device.Open(name, Stereo16At44k(), &Callback, this);
        if (result != 0)
            return result;
        for (int k = 0; k < 2; ++k) {
            headers[k].data = data[k].data();
            headers[k].bufferLength = static_cast<std::uint32_t>(data[k].size());
            device.Prepare(headers[k]);
        }
        return 0;
    }
};

} // namespace

TEST(WaveOutDeviceList, ListsPlaybackPcmsDefaultFirstWithTheirFormats)
{
    CAlsaTestConfig::Use();
    const std::vector<WaveOutCaps> devices = ListWaveOutDevices();
    ASSERT_EQ(devices.size(), 3u) << "default, mono and full; the null PCM is left out";
    EXPECT_EQ(devices[0].name, "default");
    EXPECT_EQ(devices[0].description, "Corvane test output");
    EXPECT_EQ(devices[1].name, "mono");
    EXPECT_EQ(devices[2].name, "full");

    EXPECT_EQ(devices[0].formats, 0xFFFFF) << "a file over null takes every rate and layout";
    EXPECT_EQ(devices[0].channels, 2);
    EXPECT_EQ(devices[1].formats, 0x55555) << "one channel: mono 8 and mono 16 at each rate only";
    EXPECT_EQ(devices[1].channels, 1);

    int channels = -1;
    EXPECT_EQ(ProbeWaveOutFormats("no_such_pcm_anywhere", &channels), 0);
    EXPECT_EQ(channels, 0);
}

TEST(WaveOutDeviceList, IsEmptyWhereOnlyDiscardingPcmsExist)
{
    alsa_test::CScopedAlsaConfig only("pcm.null { type null  hint { show on  description \"Discard\" } }\n"
                                      "pcm.!default { type null }\n");
    EXPECT_TRUE(ListWaveOutDevices().empty());
}

TEST(WaveOutDevice, RefusesWhatTheDeviceCannotPlay)
{
    CAlsaTestConfig::Use();
    Player player;
    EXPECT_NE(player.device.Open("no_such_pcm_anywhere", Stereo16At44k(), &Player::Callback, &player), 0);
    EXPECT_EQ(player.device.Open("mono", Stereo16At44k(), &Player::Callback, &player), EINVAL)
        << "a one-channel device refuses stereo";
    EXPECT_FALSE(player.device.IsOpen());
}

TEST(WaveOutDevice, PlaysHeadersInWriteOrderAndReportsThemDoneOnItsOwnThread)
{
    const CAlsaTestConfig& config = CAlsaTestConfig::Use();
    constexpr int kWrites = 24;
    {
        Player player;
        player.writeLimit = kWrites;
        ASSERT_EQ(player.Open("default"), 0);
        player.WriteNext(player.headers[0]);
        player.WriteNext(player.headers[1]);
        ASSERT_TRUE(WaitUntil([&] { return player.done.load() >= kWrites; }));
        EXPECT_EQ(player.device.Reset(), 0);
        EXPECT_EQ(player.device.Close(), 0);
        EXPECT_FALSE(player.callbackOnCaller.load());
        EXPECT_EQ(player.done.load(), kWrites) << "each write is reported done exactly once";
    }
    const std::vector<unsigned char> bytes = alsa_test::ReadFile(config.OutputFile("default"));
    ASSERT_GE(bytes.size(), static_cast<std::size_t>(kWrites) * kFrames * 4);
    for (int write = 0; write < kWrites; ++write) {
        const std::size_t first = static_cast<std::size_t>(write) * kFrames * 4;
        for (std::size_t i = first; i < first + kFrames * 4; i += 2) {
            const auto code = static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8));
            ASSERT_EQ(code, write + 1) << "write " << write + 1 << " at byte " << i - first;
        }
    }
}

TEST(WaveOutDevice, ResetReturnsEveryQueuedHeaderAsDone)
{
    CAlsaTestConfig::Use();
    Player player;
    ASSERT_EQ(player.Open("default"), 0);
    player.WriteNext(player.headers[0]);
    player.WriteNext(player.headers[1]);
    EXPECT_EQ(player.device.Reset(), 0);
    EXPECT_EQ(player.done.load(), 2) << "played or returned, each header was heard of before Reset returned";
    for (const WaveHeader& header : player.headers) {
        EXPECT_TRUE(header.flags.load() & kHeaderDone);
        EXPECT_FALSE(header.flags.load() & kHeaderInQueue);
    }
    // The device plays on after a reset.
    player.WriteNext(player.headers[0]);
    EXPECT_TRUE(WaitUntil([&] { return player.done.load() == 3; }));
    EXPECT_EQ(player.device.Unprepare(player.headers[0]), 0);
    EXPECT_EQ(player.device.Write(player.headers[0]), EINVAL) << "unprepared headers are refused";
}

TEST(WaveOutDevice, ADeviceFailingWhilePlayingIsReportedOnceAndStillCloses)
{
    CAlsaTestConfig::Use();
    Player player;
    player.writeLimit = 1000000;
    ASSERT_EQ(player.Open("full"), 0);
    player.WriteNext(player.headers[0]);
    player.WriteNext(player.headers[1]);
    ASSERT_TRUE(WaitUntil([&] { return player.lostReports.load() > 0; }));
    EXPECT_TRUE(player.device.IsLost());
    EXPECT_EQ(player.lostError.load(), EIO) << "ALSA's file plugin answers a failed write with EIO";
    EXPECT_EQ(player.device.Reset(), 0);
    EXPECT_EQ(player.device.Write(player.headers[0]), ENODEV) << "returned by Reset, refused by the lost device";
    EXPECT_EQ(player.device.Close(), 0);
    EXPECT_EQ(player.lostReports.load(), 1);
}
