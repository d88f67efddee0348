#include "app/PlayCommand.h"

#include <cstdio>

#include "app/Application.h"
#include "app/DriverManager.h"
#include "drivers/ASIODriver.h"
#include "drivers/DeviceLoss.h"
#include "drivers/WaveOutDriver.h"
#include "framework/Error.h"
#include "platform/Thread.h"
#include "sequencing/SequenceEditor.h"

namespace {
constexpr int kPollMilliseconds = 50;
constexpr int kTailMilliseconds = 2000;
} // namespace

int DriverIndexFromName(const std::string& name)
{
    if (name == "alsa" || name == "waveout")
        return CDriverManager::kWaveOut;
    if (name == "jack" || name == "asio")
        return CDriverManager::kAsio;
    return CDriverManager::kNull;
}

std::vector<std::string> DriverNames()
{
    return {"null", "alsa", "jack", "waveout", "asio"};
}

int PlaySong(CApplication& application, int driverIndex, bool quiet)
{
    CDriverManager& drivers = application.Drivers();
    if (!drivers.HasDriver(driverIndex) || !drivers.Driver(driverIndex)->IsAvailable())
        throw CError("Driver <%s> Is Not Available", drivers.Driver(driverIndex)->GetName());
    // A device or server lost while playing stops the engine's clock with
    // it: the song would never end. The driver has told the user; playing
    // ends with the failure. Counted from before the start, whose first
    // writes may already find the device gone.
    const std::uint64_t lossesBefore = DeviceLossCount();
    const auto deviceLost = [&] { return DeviceLossCount() != lossesBefore; };
    application.SelectDriver(driverIndex);
    CAudioOutputDriver& driver = drivers.Current();
    if (!quiet && !deviceLost())
        std::fprintf(stderr, "Playing through %s: %i Hz, %i samples per block, %i channels\n", driver.GetName(),
                     driver.GetSampleRate(), driver.GetBufferSize(), driver.GetChannelCount());

    CSequenceEditor& song = application.SequenceEditor();
    song.SetLoop(false);
    song.Play();
    while (song.IsPlaying() && !deviceLost())
        platform::Sleep(kPollMilliseconds);
    for (int waited = 0; waited < kTailMilliseconds && !deviceLost(); waited += kPollMilliseconds)
        platform::Sleep(kPollMilliseconds);
    if (deviceLost()) {
        song.Stop();
        application.StopDriver();
        return 1;
    }
    // Read before stopping: a stopped JACK client is gone with its count.
    long dropouts = -1;
    if (auto* asio = dynamic_cast<CASIODriver*>(&driver))
        dropouts = static_cast<long>(asio->XrunCount());
    else if (auto* waveOut = dynamic_cast<CWaveOutDriver*>(&driver))
        dropouts = static_cast<long>(waveOut->UnderrunCount());
    application.StopDriver();
    if (!quiet && dropouts >= 0)
        std::fprintf(stderr, "Dropouts (xruns or underruns): %ld\n", dropouts);
    return 0;
}
