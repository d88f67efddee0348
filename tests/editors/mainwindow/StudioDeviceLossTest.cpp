// The studio when its JACK server or its ALSA device goes while the song
// plays: the user is told once, the window keeps answering, and choosing
// another driver in the options plays again. A real JACK server of the
// test's own, stopped the way a user's session would stop it; an ALSA
// device of the test's own configuration writing into a pipe whose reader
// goes.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QTabWidget>

#include "app/DriverManager.h"
#include "drivers/ASIODriver.h"
#include "drivers/WaveOutDriver.h"
#include "editors/DriverOptionsPage.h"
#include "editors/OptionsDialog.h"
#include "sequencing/SequenceEditor.h"
#include "tests/drivers/alsa/AlsaTestConfig.h"
#include "tests/drivers/jack/JackTestLock.h"
#include "tests/drivers/jack/JackTestServer.h"
#include "tests/editors/mainwindow/StudioRig.h"

using namespace mainwindow_test;

namespace {

/// Plays the demo, takes the device away, and checks what the user meets:
/// one "Device Lost" message pointing at the options, the lost driver
/// stopped, a window that still answers, and the song going on once the
/// null driver is chosen.
void PlayLoseAndRecover(CStudioRig& rig, const std::function<void()>& loseDevice,
                        const std::function<bool()>& driverStopped)
{
    rig.window->Commands().OpenKeepingCurrent(DemoPath());
    CSequenceEditor& song = rig.application.SequenceEditor();
    song.Play();
    ASSERT_TRUE(ProcessEventsUntil([&] { return song.SongPosition() > 0.0; }, 30000));

    loseDevice();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !rig.messages.shown.empty() && driverStopped(); }, 30000))
        << rig.messages.shown.size() << " messages";
    // Whatever else is pending runs, and must not show the loss again.
    ProcessEventsUntil([] { return false; }, 300);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("Device Lost"), std::string::npos) << rig.messages.shown[0];
    EXPECT_NE(rig.messages.shown[0].find("View > Options..."), std::string::npos) << rig.messages.shown[0];

    // The window still answers its menu.
    rig.window->Command(CMainWindow::kViewPatternEditor);
    EXPECT_EQ(rig.window->Tabs()->currentIndex(), CMainWindow::kPatternEditorPage);

    // The user chooses the null driver, and the song goes on from there.
    rig.window->Command(CMainWindow::kOptions);
    CDriverOptionsPage* page = rig.window->Options()->DriverPage();
    page->DriverList()->setCurrentIndex(CDriverManager::kNull);
    ASSERT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kNull);
    const double before = song.SongPosition();
    EXPECT_TRUE(ProcessEventsUntil([&] { return song.SongPosition() > before; }, 30000));
    song.Stop();
    EXPECT_EQ(rig.messages.shown.size(), 1u);
}

} // namespace

TEST(StudioDeviceLoss, TheJackServerGoingIsShownOnceAndTheNullDriverPlaysAfterwards)
{
    jack_test::CJackTestLock lock;
    ASSERT_TRUE(lock.IsHeld());
    jack_test::CJackTestServer server;
    std::string why;
    ASSERT_TRUE(server.Start(48000, 256, 2, &why)) << why;

    CStudioRig rig(PlayingThrough(CDriverManager::kAsio));
    ASSERT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kAsio);
    auto* asio = static_cast<CASIODriver*>(rig.application.Drivers().Driver(CDriverManager::kAsio));
    ASSERT_TRUE(asio->IsRunning()) << (rig.messages.shown.empty() ? "" : rig.messages.shown.front());
    ASSERT_TRUE(asio->IsJoined());

    // SIGTERM: a server ended by SIGKILL keeps its slot in JACK's registry.
    // The lost driver's dead client is closed and holds no ports.
    PlayLoseAndRecover(rig, [&] { server.Stop(SIGTERM); }, [&] { return !asio->IsJoined(); });
}

namespace {

/// A named pipe the test's ALSA device writes into, emptied by a thread of
/// the test until Close: then the device's writes fail as a sound server's
/// socket or a pipe to a recorder fails when its reader goes.
class CDrainedPipe {
public:
    explicit CDrainedPipe(const std::string& path) : path(path)
    {
        if (mkfifo(path.c_str(), 0600) == 0)
            descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK);
        if (descriptor >= 0)
            drain = std::thread([this] {
                char bytes[65536];
                while (!closing.load()) {
                    if (read(descriptor, bytes, sizeof bytes) <= 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            });
    }
    ~CDrainedPipe() { Close(); }

    bool IsOpen() const { return descriptor >= 0; }

    void Close()
    {
        closing = true;
        if (drain.joinable())
            drain.join();
        if (descriptor >= 0)
            close(descriptor);
        descriptor = -1;
        unlink(path.c_str());
    }

private:
    std::string path;
    int descriptor = -1;
    std::atomic<bool> closing{false};
    std::thread drain;
};

} // namespace

TEST(StudioDeviceLoss, TheAlsaDeviceGoingIsShownOnceAndTheNullDriverPlaysAfterwards)
{
    const std::string folder = MakeScratchFolder();
    CDrainedPipe pipe(folder + "/device.pipe");
    ASSERT_TRUE(pipe.IsOpen());
    alsa_test::CScopedAlsaConfig config("pcm.null { type null }\n"
                                        "pcm.!default {\n"
                                        "  type file  slave.pcm \"null\"  file \"" + folder + "/device.pipe\"  format \"raw\"\n"
                                        "  hint { show on  description \"Corvane piped test output\" }\n"
                                        "}\n");

    CStudioRig rig(PlayingThrough(CDriverManager::kWaveOut));
    ASSERT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kWaveOut);
    CWaveOutDriver* waveOut = static_cast<CWaveOutDriver*>(rig.application.Drivers().Driver(CDriverManager::kWaveOut));
    ASSERT_TRUE(waveOut->IsRunning()) << (rig.messages.shown.empty() ? "" : rig.messages.shown.front());

    // The reader goes: the device's next write fails, and the program must
    // neither end by the broken pipe nor keep writing.
    PlayLoseAndRecover(rig, [&] { pipe.Close(); }, [&] { return !waveOut->IsRunning(); });
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
