// CWaveOutDriver through the real ALSA library: the settings it reads, and
// the bytes that reach the test devices' files when it plays a known signal
// (16-bit values and interleaving, mono, 8-bit silence), block after block
// in order; and a device that fails while playing.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "drivers/DriverMessages.h"
#include "drivers/WaveOutDriver.h"
#include "framework/Error.h"
#include "host/AppOptions.h"
#include "tests/drivers/alsa/AlsaTestConfig.h"
#include "tests/support/DriverMessageLog.h"

using alsa_test::CAlsaTestConfig;
using alsa_test::WaitUntil;
using test_support::DriverMessageLog;

namespace {

constexpr int kDefaultDevice = 0;
constexpr int kMonoDevice = 1;
constexpr int kFailingDevice = 2;
constexpr int kBlock = 2048;   // the smallest buffer size the driver takes

// The first samples of every block carry the conversion's edge values.
constexpr double kLeftEdges[8] = {1.0, -1.0, 0.5, -0.5, 1.5, -1.5, 0.0, -1e-9};
constexpr int kLeftEdgeCodes[8] = {32767, -32768, 16383, -16384, 32767, -32768, 0, 0};
constexpr double kRightEdges[8] = {-1.0, 1.0, -0.5, 0.5, 0.0, 2.0, -2.0, 0.25};
constexpr int kRightEdgeCodes[8] = {-32768, 32767, -16384, 16383, 0, 32767, -32768, 8191};
constexpr int kEdges = 8;

// After the edges, each block counts through codes that depend on its
// number, so a lost, repeated or reordered block shows. Values sit half a
// step inside their code, so truncation gives the code itself.
int RampCode(int block, int s)
{
    return (block * 97 + s) % 30000;
}
double LeftRamp(int block, int s)
{
    return (RampCode(block, s) + 0.5) / 32767.0;
}
double RightRamp(int block, int s)
{
    return -(RampCode(block, s) + 0.5) / 32768.0;
}

/// The engine's stand-in: numbers the blocks it renders from 1.
struct SignalSource {
    std::atomic<int> blocks{0};
    std::atomic<int> renderedOnCaller{0};
    std::atomic<int> lastChannels{0};
    std::thread::id caller = std::this_thread::get_id();
    bool silentLeft = false;   // for the 8-bit case: left silent, right the edges

    static void Render(void* context, int channels, double** buffers, int length)
    {
        auto* self = static_cast<SignalSource*>(context);
        if (std::this_thread::get_id() == self->caller)
            self->renderedOnCaller.fetch_add(1);
        self->lastChannels = channels;
        const int block = self->blocks.load() + 1;
        for (int s = 0; s < length; ++s) {
            const bool edge = s < kEdges;
            buffers[0][s] = self->silentLeft ? 0.0 : edge ? kLeftEdges[s] : LeftRamp(block, s);
            if (channels > 1)
                buffers[1][s] = edge ? kRightEdges[s] : RightRamp(block, s);
        }
        self->blocks.store(block);
    }

    AudioCallback Callback() { return AudioCallback{&Render, this}; }
};

/// Options as a user who chose Wave Out left them.
void ChooseWaveOut(CAppOptions& options, int device, int bufferSize, std::int32_t format)
{
    options.outputDriver = 1;
    options.waveOutDevice = device;
    options.waveOutBufferSize = bufferSize;
    options.waveOutFormat = format;
}

/// Starts, lets at least blocks render, stops.
void Play(CWaveOutDriver& driver, SignalSource& source, int blocks)
{
    driver.SetCallback(source.Callback());
    const int first = source.blocks.load();
    driver.Start();
    EXPECT_TRUE(WaitUntil([&] { return source.blocks.load() >= first + blocks; }));
    driver.Stop();
}

std::int16_t Sample16(const std::vector<unsigned char>& bytes, std::size_t index)
{
    return static_cast<std::int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

} // namespace

TEST(WaveOutDriver, CorrectsItsStoredSettingsAndWritesThemBack)
{
    CAlsaTestConfig::Use();
    struct Case {
        int stored;
        int expected;
    };
    for (const Case& c : {Case{100, 8192}, Case{2047, 8192}, Case{2048, 2048}, Case{3000, 2560},
                          Case{16384, 16384}, Case{20000, 16384}}) {
        CAppOptions options("");
        ChooseWaveOut(options, kDefaultDevice, c.stored, 2048);
        CWaveOutDriver driver(options);
        EXPECT_EQ(driver.GetBufferSize(), c.expected) << "stored " << c.stored;
        EXPECT_EQ(options.waveOutBufferSize, c.expected) << "stored " << c.stored;
    }

    CAppOptions nullChosen("");
    ChooseWaveOut(nullChosen, kMonoDevice, 3000, 2048);
    nullChosen.outputDriver = 0;
    CWaveOutDriver unchosen(nullChosen);
    EXPECT_EQ(unchosen.GetBufferSize(), 8192) << "another driver chosen: the default size";
    EXPECT_EQ(nullChosen.waveOutBufferSize, 8192);
    EXPECT_EQ(unchosen.GetDeviceIndex(), 0) << "and the first device";

    for (int stored : {3, 7, -3}) {
        CAppOptions options("");
        ChooseWaveOut(options, stored, 4096, 2048);
        EXPECT_EQ(CWaveOutDriver(options).GetDeviceIndex(), 0) << "stored device " << stored;
    }

    CAppOptions damaged("");
    ChooseWaveOut(damaged, kDefaultDevice, 4096, 0x700000);
    CWaveOutDriver fallback(damaged);
    EXPECT_EQ(fallback.GetFormatFlag(), 2048) << "a format without format bits asks for 44.1 kHz 16-bit stereo";
}

TEST(WaveOutDriver, WithoutDevicesIsUnavailableAndCannotStart)
{
    alsa_test::CScopedAlsaConfig none("pcm.null { type null }\npcm.!default { type null }\n");
    CAppOptions options("");
    ChooseWaveOut(options, kDefaultDevice, 4096, 2048);
    CWaveOutDriver driver(options);
    EXPECT_FALSE(driver.IsAvailable());
    EXPECT_EQ(driver.GetDeviceIndex(), -1);
    try {
        driver.Start();
        FAIL() << "started without a device";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "WaveOut: waveOutOpen Failed <Error Code 0x13>");
    }
    EXPECT_FALSE(driver.IsRunning());
    driver.Stop();
}

TEST(WaveOutDriver, PlaysSixteenBitStereoInterleavedBlocksInOrderAndRestarts)
{
    const CAlsaTestConfig& config = CAlsaTestConfig::Use();
    CAppOptions options("");
    ChooseWaveOut(options, kDefaultDevice, kBlock, 2048);
    CWaveOutDriver driver(options);
    ASSERT_TRUE(driver.IsAvailable());
    EXPECT_EQ(driver.GetSampleRate(), 44100);
    EXPECT_EQ(driver.GetChannelCount(), 2);
    EXPECT_EQ(driver.GetBitsPerSample(), 16);
    EXPECT_EQ(driver.GetBufferSize(), kBlock);

    SignalSource source;
    for (int run = 0; run < 2; ++run) {
        const int firstBlock = source.blocks.load() + 1;
        Play(driver, source, 6);
        EXPECT_FALSE(driver.IsRunning());

        // Every open starts the file anew; it holds the blocks played, from
        // the first of this run, with no gap.
        const std::vector<unsigned char> bytes = alsa_test::ReadFile(config.OutputFile("default"));
        const std::size_t frames = bytes.size() / 4;
        ASSERT_EQ(bytes.size() % 4, 0u);
        ASSERT_GE(frames, 4u * kBlock) << "run " << run;
        for (std::size_t f = 0; f < frames; ++f) {
            const int block = firstBlock + static_cast<int>(f / kBlock);
            const int s = static_cast<int>(f % kBlock);
            const int left = Sample16(bytes, 2 * f);
            const int right = Sample16(bytes, 2 * f + 1);
            const int expectedLeft = s < kEdges ? kLeftEdgeCodes[s] : RampCode(block, s);
            const int expectedRight = s < kEdges ? kRightEdgeCodes[s] : -RampCode(block, s);
            ASSERT_EQ(left, expectedLeft) << "run " << run << ", block " << block << ", sample " << s;
            ASSERT_EQ(right, expectedRight) << "run " << run << ", block " << block << ", sample " << s;
        }
    }
    // Start renders the first two blocks itself; every later one comes from
    // the device's own thread.
    EXPECT_EQ(source.renderedOnCaller.load(), 4);
}

TEST(WaveOutDriver, MonoDeviceGetsSixteenBitMonoOfTheLeftChannel)
{
    const CAlsaTestConfig& config = CAlsaTestConfig::Use();
    CAppOptions options("");
    ChooseWaveOut(options, kMonoDevice, kBlock, 2048);
    CWaveOutDriver driver(options);
    EXPECT_EQ(driver.GetFormatFlag(), 0x400) << "no stereo at any rate: 16-bit mono at the requested rate";
    EXPECT_EQ(driver.GetChannelCount(), 1);
    EXPECT_EQ(driver.GetSampleRate(), 44100);

    SignalSource source;
    Play(driver, source, 6);
    EXPECT_EQ(source.lastChannels.load(), 1);
    const std::vector<unsigned char> bytes = alsa_test::ReadFile(config.OutputFile("mono"));
    const std::size_t frames = bytes.size() / 2;
    ASSERT_GE(frames, 4u * kBlock);
    for (std::size_t f = 0; f < frames; ++f) {
        const int block = 1 + static_cast<int>(f / kBlock);
        const int s = static_cast<int>(f % kBlock);
        ASSERT_EQ(Sample16(bytes, f), s < kEdges ? kLeftEdgeCodes[s] : RampCode(block, s))
            << "block " << block << ", sample " << s;
    }
}

TEST(WaveOutDriver, EightBitIsUnsignedWithSilenceAt128)
{
    const CAlsaTestConfig& config = CAlsaTestConfig::Use();
    CAppOptions options("");
    ChooseWaveOut(options, kDefaultDevice, kBlock, 0x200);   // 44.1 kHz, 8 bit, stereo
    CWaveOutDriver driver(options);
    EXPECT_EQ(driver.GetBitsPerSample(), 8);
    EXPECT_EQ(driver.GetChannelCount(), 2);

    SignalSource source;
    source.silentLeft = true;
    Play(driver, source, 6);
    const std::vector<unsigned char> bytes = alsa_test::ReadFile(config.OutputFile("default"));
    ASSERT_GE(bytes.size(), 4u * kBlock * 2);
    const int rightEdgeBytes[8] = {0, 255, 64, 191, 128, 255, 0, 159};
    for (std::size_t f = 0; f < bytes.size() / 2; ++f) {
        const int s = static_cast<int>(f % kBlock);
        ASSERT_EQ(bytes[2 * f], 128) << "silence, frame " << f;
        if (s < kEdges) {
            ASSERT_EQ(bytes[2 * f + 1], rightEdgeBytes[s]) << "sample " << s;
        }
    }
}

TEST(WaveOutDriver, ADeviceLostWhilePlayingStopsTheDriverAndIsReportedOnce)
{
    CAlsaTestConfig::Use();
    DriverMessageLog messages;
    SetDriverMessageHandler(&DriverMessageLog::Keep, &messages);
    CAppOptions options("");
    ChooseWaveOut(options, kFailingDevice, kBlock, 2048);
    CWaveOutDriver driver(options);
    SignalSource source;
    driver.SetCallback(source.Callback());
    driver.Start();
    EXPECT_TRUE(WaitUntil([&] { return driver.HasLostDevice(); }));
    EXPECT_TRUE(WaitUntil([&] { return !driver.IsRunning(); }));
    const int rendered = source.blocks.load();
    driver.Stop();
    EXPECT_EQ(source.blocks.load(), rendered) << "nothing is rendered once the device is gone";
    SetDriverMessageHandler(nullptr, nullptr);
    const std::vector<std::string> texts = messages.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "WaveOut: Device Lost <Error Code 0x5>");

    // The driver starts again (and here fails again, once more reported).
    SetDriverMessageHandler(&DriverMessageLog::Keep, &messages);
    driver.Start();
    EXPECT_TRUE(WaitUntil([&] { return messages.Texts().size() == 2; }));
    driver.Stop();
    SetDriverMessageHandler(nullptr, nullptr);
}
