// The main window while the studio runs: the splash's start-up lines, the
// peak meter fed by a real render through the display thread, the options
// dialog switching drivers under a running engine, the VST paths, the
// manual, the about box and the window's place between runs. Screenshots
// of the dialogs go to screenshots/ beside the build.

#include <gtest/gtest.h>

#include <filesystem>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include "app/DriverManager.h"
#include "drivers/WaveOutDriver.h"
#include "editors/AboutBox.h"
#include "editors/DriverOptionsPage.h"
#include "editors/MainToolBar.h"
#include "editors/OptionsDialog.h"
#include "editors/PeakMeterView.h"
#include "editors/ProjectInfoView.h"
#include "editors/SplashWindow.h"
#include "editors/VSTPaths.h"
#include "host/AppOptions.h"
#include "host/CorvHost.h"
#include "host/Studio.h"
#include "sequencing/SequenceEditor.h"
#include "tests/drivers/alsa/AlsaTestConfig.h"
#include "tests/editors/mainwindow/StudioRig.h"

using namespace mainwindow_test;

namespace {

void SaveScreenshot(QWidget& widget, const char* name)
{
    std::filesystem::create_directories(CORVANE_SCREENSHOT_DIR);
    widget.grab().save(QString::fromUtf8(CORVANE_SCREENSHOT_DIR) + "/" + name);
}

/// Lit segments have a colour component above what an unlit body can get
/// (63 + 31 = 94); counts such pixels on screen.
int LitPixels(const CPeakMeterView& meter)
{
    const QImage& image = meter.GetBitmap();
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) > 150 || qGreen(pixel) > 150 || qBlue(pixel) > 150)
                ++lit;
        }
    return lit;
}

} // namespace

TEST(Splash, ShowsTheStartUpLinesInOrder)
{
    CSplashWindow splash;
    splash.show();
    RigOptions options;
    options.status = [&splash](const std::string& line) { splash.ShowStatus(line); };
    CStudioRig rig(options);
    const std::vector<std::string>& lines = splash.Lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Initializing...");
    EXPECT_EQ(lines[1], "Detecting Processor Features...");
    EXPECT_EQ(lines[2], "Obtaining System Information...");
    EXPECT_EQ(lines[3], "Initializing Audio...");
    EXPECT_EQ(lines[4], "Loading PlugIn Library stockpack.so...");
    SaveScreenshot(splash, "splash.png");
}

TEST(PeakMeter, ARealRenderLightsItAndItFallsBackInSilence)
{
    CStudioRig rig(PlayingThrough(0));
    CPeakMeterView& meter = *rig.window->ToolBar()->PeakMeter();
    EXPECT_EQ(LitPixels(meter), 0);

    rig.window->Commands().OpenKeepingCurrent(DemoPath());
    rig.application.SequenceEditor().Play();
    // The null driver paces blocks in real time; the display thread paints
    // every 10 ms and the window presents on this thread.
    ASSERT_TRUE(ProcessEventsUntil([&] { return LitPixels(meter) > 20; }, 15000));
    SaveScreenshot(*rig.window->ToolBar(), "tool-bar-playing.png");

    // Silence: the song stops and the master glides to nothing. Held peaks
    // stay for a second, then fall at 48 dB a second from at most +12.
    rig.application.SequenceEditor().Stop();
    rig.application.Studio().SetMasterVolume(0.0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return LitPixels(meter) == 0; }, 15000));
}

TEST(OptionsDialog, SwitchesToTheNullDriverAndBackWhileTheEngineRuns)
{
    alsa_test::CAlsaTestConfig::Use();
    CStudioRig rig(PlayingThrough(CDriverManager::kWaveOut));
    ASSERT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kWaveOut);
    auto* waveOut = static_cast<CWaveOutDriver*>(rig.application.Drivers().Driver(CDriverManager::kWaveOut));
    ASSERT_TRUE(waveOut->IsRunning());

    rig.window->Command(CMainWindow::kOptions);
    COptionsDialog* dialog = rig.window->Options();
    ASSERT_TRUE(dialog->isVisible());
    CDriverOptionsPage* page = dialog->DriverPage();
    EXPECT_EQ(page->DriverList()->count(), 3);
    EXPECT_EQ(page->DriverList()->itemText(0).toStdString(), "Null");
    EXPECT_EQ(page->DriverList()->itemText(1).toStdString(), "Wave Out");
    EXPECT_EQ(page->DriverList()->itemText(2).toStdString(), "ASIO");
    EXPECT_EQ(page->DriverList()->currentIndex(), CDriverManager::kWaveOut);
    SaveScreenshot(*dialog, "options-audio.png");

    page->DriverList()->setCurrentIndex(CDriverManager::kNull);
    EXPECT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kNull);
    EXPECT_FALSE(waveOut->IsRunning());
    SaveScreenshot(*dialog, "options-audio-null.png");

    page->DriverList()->setCurrentIndex(CDriverManager::kWaveOut);
    EXPECT_EQ(rig.application.Drivers().CurrentIndex(), CDriverManager::kWaveOut);
    EXPECT_TRUE(waveOut->IsRunning());
    EXPECT_TRUE(rig.messages.shown.empty());

    // A buffer size applied restarts the driver with it.
    const int wanted = 4096;
    page->BufferList()->setCurrentIndex(page->BufferList()->findData(wanted));
    page->ApplySettings();
    EXPECT_EQ(waveOut->GetBufferSize(), wanted);
    EXPECT_EQ(rig.application.Host().GetBlockSize(), wanted);
    EXPECT_TRUE(waveOut->IsRunning());
}

TEST(OptionsDialog, VstPathsAreAddedAndRemovedInTheOptions)
{
    CStudioRig rig;
    rig.application.Options().vstPaths = {"/usr/lib/vst"};
    CVSTPaths* page = rig.window->Options()->VstPage();
    rig.window->Options()->Pages()->setCurrentWidget(page);
    rig.window->Options()->ShowOptions();

    rig.chooser.answers.push_back(std::string("/opt/plugins/vst"));
    page->AddButton()->click();
    EXPECT_EQ(rig.chooser.asked.back(), "folder Select VST PlugIn Folder");
    EXPECT_EQ(rig.application.Options().vstPaths, (std::vector<std::string>{"/usr/lib/vst", "/opt/plugins/vst"}));
    ASSERT_EQ(page->PathList()->count(), 2);
    // The same folder may be listed twice; a cancelled chooser adds nothing.
    rig.chooser.answers.push_back(std::string("/opt/plugins/vst"));
    page->AddButton()->click();
    page->AddButton()->click();
    EXPECT_EQ(page->PathList()->count(), 3);
    SaveScreenshot(*rig.window->Options(), "options-vst-paths.png");

    EXPECT_EQ(page->RemoveButton()->text().toStdString(), "Remove Selected Path");
    page->PathList()->setCurrentRow(0);
    page->RemoveButton()->click();
    EXPECT_EQ(rig.application.Options().vstPaths,
              (std::vector<std::string>{"/opt/plugins/vst", "/opt/plugins/vst"}));
}

TEST(HelpMenu, ContentsOpensTheManualAndSaysWhenItCannot)
{
    CStudioRig rig;
    QString opened;
    rig.window->SetDocumentOpener([&opened](const QString& path) {
        opened = path;
        return true;
    });
    rig.window->Command(CMainWindow::kHelpContents);
    EXPECT_TRUE(opened.endsWith(QStringLiteral("/docs/index.html"))) << opened.toStdString();
    EXPECT_TRUE(rig.messages.shown.empty());

    rig.window->SetDocumentOpener([](const QString&) { return false; });
    rig.window->Command(CMainWindow::kHelpContents);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("index.html"), std::string::npos);

    rig.window->Command(CMainWindow::kAbout);
    CAboutBox* about = rig.window->AboutBox();
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->Text().startsWith(QStringLiteral("Version: 3.4.0\nPlatform: ")));
    EXPECT_TRUE(about->Text().endsWith(QStringLiteral("VST PlugIn Technology by Steinberg\nASIO Technology by Steinberg")));
    SaveScreenshot(*about, "about-box.png");
}

TEST(MainWindowPlace, SizeAndPositionComeBackAtTheNextStart)
{
    CStudioRig rig;
    const QString file = QString::fromStdString(rig.folder + "/Window.ini");
    rig.window->SetGeometryFile(file);
    rig.window->ShowAtStart();   // nothing stored yet: maximized
    EXPECT_TRUE(rig.window->isMaximized());
    rig.window->showNormal();
    rig.window->setGeometry(120, 90, 900, 640);
    rig.window->SaveGeometry();
    const QRect placed = rig.window->geometry();

    CMainWindow again(rig.application, rig.chooser, rig.messages);
    again.SetGeometryFile(file);
    again.ShowAtStart();
    EXPECT_FALSE(again.isMaximized());
    EXPECT_EQ(again.geometry().size(), placed.size());

    rig.window->resize(1100, 700);
    rig.window->Command(CMainWindow::kViewProjectInfo);
    rig.window->ProjectInfo()->setPlainText(QStringLiteral("Demo song, 120 BPM.\nIdeas: longer break before the last chorus."));
    SaveScreenshot(*rig.window, "main-window-project-info.png");
}
