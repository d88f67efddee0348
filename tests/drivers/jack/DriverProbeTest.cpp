// The driver list of the command line, probed on this machine's test
// devices: the ALSA test configuration and a JACK server of the test's own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/DriverProbe.h"
#include "host/AppOptions.h"
#include "tests/drivers/alsa/AlsaTestConfig.h"
#include "tests/drivers/jack/JackTestFixtures.h"

namespace {

class DriverProbeTest : public jack_test::JackServerTest {};
class DriverProbeWithoutDevices : public jack_test::JackTest {};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(DriverProbeTest, DescribesEachDriverWithItsDevicesRatesAndChannels)
{
    alsa_test::CAlsaTestConfig::Use();
    CAppOptions options("");
    options.outputDriver = 1;
    options.waveOutBufferSize = 3000;
    const std::vector<DriverDescription> drivers = ProbeDrivers(options);
    EXPECT_EQ(options.waveOutBufferSize, 3000) << "the probe corrects a copy, not the options";
    ASSERT_EQ(drivers.size(), 3u);

    const DriverDescription& null = drivers[0];
    EXPECT_EQ(null.name, "Null");
    EXPECT_TRUE(null.available);
    EXPECT_EQ(null.bufferSize, 2048);

    const DriverDescription& waveOut = drivers[1];
    EXPECT_EQ(waveOut.index, 1);
    EXPECT_EQ(waveOut.name, "Wave Out");
    EXPECT_TRUE(waveOut.available);
    EXPECT_EQ(waveOut.bufferSize, 2560);
    EXPECT_EQ(waveOut.sampleRate, 44100);
    ASSERT_EQ(waveOut.devices.size(), 3u);
    EXPECT_TRUE(waveOut.devices[0].selected);
    EXPECT_EQ(waveOut.devices[0].sampleRates, (std::vector<int>{11025, 22050, 44100, 48000, 96000}));
    EXPECT_EQ(waveOut.devices[0].formats.size(), 20u);
    EXPECT_EQ(waveOut.devices[1].name, "mono");
    EXPECT_EQ(waveOut.devices[1].channels, 1);
    EXPECT_EQ(waveOut.devices[1].formats.front(), "11.0kHz, 8bit, Mono");

    const DriverDescription& asio = drivers[2];
    EXPECT_EQ(asio.name, "ASIO");
    EXPECT_TRUE(asio.available);
    EXPECT_EQ(asio.sampleRate, 48000);
    EXPECT_EQ(asio.bufferSize, jack_test::kServerPeriod);
    EXPECT_EQ(asio.channels, jack_test::kServerOutputs);
    ASSERT_EQ(asio.devices.size(), 1u);
    EXPECT_EQ(asio.devices[0].name, "JACK (" + server.Name() + ")");
    EXPECT_EQ(asio.devices[0].sampleRates, std::vector<int>{48000});
    EXPECT_EQ(asio.devices[0].preferredBufferSize, jack_test::kServerPeriod);

    const std::string text = FormatDriverList(drivers);
    EXPECT_TRUE(Contains(text, "0 Null: available, 44100 Hz, 2048 frames, 2 channels\n")) << text;
    EXPECT_TRUE(Contains(text, "1 Wave Out (ALSA): available, 44100 Hz, 2560 frames, 2 channels\n")) << text;
    EXPECT_TRUE(Contains(text, "  * default (Corvane test output): rates 11025 22050 44100 48000 96000; 2 channels\n"))
        << text;
    EXPECT_TRUE(Contains(text, "2 ASIO (JACK): available, 48000 Hz, 256 frames, 4 channels\n")) << text;
    EXPECT_TRUE(Contains(text, "  * JACK (" + server.Name() + "): rates 48000; 4 channels\n")) << text;
    EXPECT_TRUE(Contains(text, "      buffer 256 frames (256 to 256)\n")) << text;
}

TEST_F(DriverProbeWithoutDevices, SaysWhatIsNotAvailableAndWhy)
{
    jack_test::PointJackNowhere();
    alsa_test::CScopedAlsaConfig none("pcm.null { type null }\npcm.!default { type null }\n");
    CAppOptions options("");
    options.nullFormat = 0;   // a damaged setting the null driver refuses
    const std::vector<DriverDescription> drivers = ProbeDrivers(options);
    ASSERT_EQ(drivers.size(), 3u);
    EXPECT_EQ(drivers[0].error, "Invalid Format");
    EXPECT_FALSE(drivers[1].available);
    EXPECT_TRUE(drivers[1].devices.empty());
    EXPECT_FALSE(drivers[2].available);
    EXPECT_EQ(FormatDriverList(drivers),
              "0 Null: not available (Invalid Format)\n1 Wave Out (ALSA): not available\n2 ASIO (JACK): not available\n");
}
