// The studio when its JACK server goes while the song plays: the user is
// told once, the window keeps answering, and choosing another driver in the
// options plays again. A real JACK server of the test's own, stopped the way
// a user's session would stop it.

#include <gtest/gtest.h>

#include <csignal>

#include <QComboBox>
#include <QTabWidget>

#include "app/DriverManager.h"
#include "drivers/ASIODriver.h"
#include "editors/DriverOptionsPage.h"
#include "editors/OptionsDialog.h"
#include "sequencing/SequenceEditor.h"
#include "tests/drivers/jack/JackTestLock.h"
#include "tests/drivers/jack/JackTestServer.h"
#include "tests/editors/mainwindow/StudioRig.h"

using namespace mainwindow_test;

TEST(StudioDeviceLoss, TheJackServerGoingIsShownOnceAndTheNullDriverPlaysAfterwards)
{
    jack_test::CJackTestLock lock;
    ASSERT_TRUE(lock.IsHeld());
    jack_test::CJackTestServer server;
    std::string why;
    ASSERT_TRUE(server.Start(48000, 256, 2, &why)) << why;

    CStudioRig rig({.audio = true, .driver = CDriverManager::kAsio, .status = {}, .audioFailure = {}});
    ASSERT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kAsio);
    auto* asio = static_cast<CASIODriver*>(rig.application.Drivers().Driver(CDriverManager::kAsio));
    ASSERT_TRUE(asio->IsRunning()) << (rig.messages.shown.empty() ? "" : rig.messages.shown.front());
    ASSERT_TRUE(asio->IsJoined());

    rig.window->Commands().OpenKeepingCurrent(DemoPath());
    CSequenceEditor& song = rig.application.SequenceEditor();
    song.Play();
    ASSERT_TRUE(ProcessEventsUntil([&] { return song.SongPosition() > 0.0; }, 30000));

    // SIGTERM: a server ended by SIGKILL keeps its slot in JACK's registry.
    server.Stop(SIGTERM);
    // The lost driver is stopped: its dead client is closed and holds no
    // ports.
    ASSERT_TRUE(ProcessEventsUntil([&] { return !rig.messages.shown.empty() && !asio->IsJoined(); }, 30000))
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
