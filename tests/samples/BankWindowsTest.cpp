// The bank explorer and sample analyzer windows on the offscreen platform,
// with real banks loaded on the explorer's worker thread and the real ALSA
// WAV files. Dialogs are answered by the test; both windows are grabbed to
// build-test/screenshots for people to look at.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProgressBar>
#include <QSplitter>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "samples/HostBankServer.h"
#include "samples/gui/BankExplorerView.h"
#include "samples/gui/PresetEditor.h"
#include "samples/gui/SampleAnalyzerView.h"
#include "samples/gui/SampleView.h"
#include "samples/gui/WindowDialogs.h"
#include "tests/project/ScratchFolder.h"
#include "tests/samples/SoundFontBytes.h"

using namespace bank_test;
using project_test::CScratchFolder;

namespace {

constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class CAnsweringChooser : public CFileChooser {
public:
    std::string ChooseFileToOpen(QWidget*, const std::string& filter) override
    {
        filters.push_back(filter);
        return answer;
    }
    std::string answer;
    std::vector<std::string> filters;
};

class CCollectingSink : public CMessageSink {
public:
    void ShowError(QWidget*, const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> errors;
};

/// Runs the event loop until the explorer's load has finished.
bool WaitForLoad(CBankExplorerView& view)
{
    QElapsedTimer timer;
    timer.start();
    while (view.IsLoading() && timer.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();
    return !view.IsLoading();
}

void SaveScreenshot(QWidget& window, const char* name)
{
    std::filesystem::create_directories(CORVANE_SCREENSHOT_DIR);
    const QPixmap grab = window.grab();
    ASSERT_FALSE(grab.isNull());
    ASSERT_TRUE(grab.save(QString(CORVANE_SCREENSHOT_DIR) + "/" + name));
}

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

} // namespace

TEST(BankExplorerView, LoadsBanksOnAWorkerAndBrowsesThem)
{
    CScratchFolder folder;
    CHostBankServer server;
    CAnsweringChooser chooser;
    CCollectingSink sink;
    CBankExplorerView view(&server, nullptr, &chooser, &sink);
    view.show();
    EXPECT_EQ(view.GetSplitter()->count(), 4) << "four lists, three sizing bars";
    EXPECT_EQ(view.GetLoadAction()->text(), "Load Bank");
    EXPECT_FALSE(view.IsBusyBarShown());

    chooser.answer = kTimGM6mb;
    int finishedCode = -1;
    bool busyWhileLoading = false;
    view.onLoadFinished = [&](int code) { finishedCode = code; };
    view.GetLoadAction()->trigger();
    busyWhileLoading = view.IsLoading() && view.IsBusyBarShown() && !view.GetLoadAction()->isEnabled();
    ASSERT_TRUE(WaitForLoad(view));
    EXPECT_TRUE(busyWhileLoading);
    EXPECT_EQ(finishedCode, 0);
    EXPECT_FALSE(view.IsBusyBarShown());
    EXPECT_TRUE(view.GetLoadAction()->isEnabled());
    EXPECT_EQ(chooser.filters, std::vector<std::string>{"SoundFont Banks (*.sf2)"});

    WriteFile(folder.File("second.sf2"), SmallBank("Second Bank", {"Lead", "Pad"}));
    ASSERT_TRUE(view.StartLoading(folder.File("second.sf2")));
    ASSERT_TRUE(WaitForLoad(view));
    ASSERT_EQ(view.GetBankList()->count(), 2);
    EXPECT_EQ(view.GetBankList()->item(1)->text(), "Second Bank");
    EXPECT_EQ(view.GetExplorer().GetBankIndex(0), 0);
    EXPECT_EQ(view.GetExplorer().GetBankIndex(1), 1);
    EXPECT_TRUE(sink.errors.empty());

    view.GetBankList()->setCurrentRow(1);
    EXPECT_EQ(Texts(view.GetPresetList()), (QStringList{"Lead", "Pad"}));
    ASSERT_EQ(view.GetInformationView()->topLevelItemCount(), 2);
    EXPECT_EQ(view.GetInformationView()->topLevelItem(0)->text(0), "SoundFont Version");
    EXPECT_EQ(view.GetInformationView()->topLevelItem(0)->text(1), "2.1");

    view.GetBankList()->setCurrentRow(0);
    EXPECT_GT(view.GetPresetList()->count(), 100);
    EXPECT_EQ(view.GetSampleList()->count(), 0) << "nothing fills the samples list";

    // A click on a preset opens the preset page for it.
    QListWidgetItem* preset = view.GetPresetList()->item(3);
    QTest::mouseClick(view.GetPresetList()->viewport(), Qt::LeftButton, {},
                      view.GetPresetList()->visualItemRect(preset).center());
    ASSERT_NE(view.GetPresetEditor(), nullptr);
    EXPECT_EQ(view.GetPresetEditor()->GetBankText(), view.GetBankList()->item(0)->text());
    EXPECT_EQ(view.GetPresetEditor()->GetPresetText(), preset->text());
    EXPECT_EQ(view.GetPresetEditor()->GetNumberText(), "3");
    view.GetPresetEditor()->hide();
    view.GetPresetList()->setCurrentRow(3);

    SaveScreenshot(view, "bank-explorer.png");
}

TEST(BankExplorerView, AFailedLoadShowsTheErrorAndAddsNothing)
{
    CScratchFolder folder;
    CHostBankServer server;
    CAnsweringChooser chooser;
    CCollectingSink sink;
    CBankExplorerView view(&server, nullptr, &chooser, &sink);

    chooser.answer = "";   // cancelled: nothing happens
    view.LoadBankFromDialog();
    EXPECT_FALSE(view.IsLoading());

    chooser.answer = folder.File("missing.sf2");
    view.LoadBankFromDialog();
    ASSERT_TRUE(WaitForLoad(view));
    EXPECT_EQ(sink.errors, std::vector<std::string>{"Error 0x7 Occured While Loading '" + chooser.answer + "'"});
    EXPECT_EQ(view.GetBankList()->count(), 0);

    // A window closed during a load waits for its worker.
    WriteFile(folder.File("ok.sf2"), SmallBank("Ok", {"a"}));
    auto* closing = new CBankExplorerView(&server, nullptr, &chooser, &sink);
    ASSERT_TRUE(closing->StartLoading(folder.File("ok.sf2")));
    EXPECT_FALSE(closing->StartLoading(folder.File("ok.sf2"))) << "one load at a time";
    delete closing;
    QCoreApplication::processEvents();
    EXPECT_EQ(server.BankCount(), 1);
    EXPECT_EQ(view.GetBankList()->count(), 1) << "the other explorer heard of the bank";
}

TEST(SampleAnalyzerView, ListsTheSamplesAndDrawsTheChosenOne)
{
    CScratchFolder folder;
    std::filesystem::create_directory(folder.path / "Samples");
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/sounds/alsa"))
        std::filesystem::copy_file(entry.path(), folder.path / "Samples" / entry.path().filename());
    WriteFile(folder.File("Samples/zz-broken.wav"), Bytes{'R', 'I', 'F', 'F', 0, 0});
    CCollectingSink sink;
    CSampleAnalyzerView view(nullptr, folder.path.string(), &sink);
    view.show();
    EXPECT_EQ(view.windowTitle(), "Sample Analyzer");
    QComboBox* combo = view.GetSampleCombo();
    EXPECT_EQ(combo->objectName(), "SampleCombo");
    ASSERT_EQ(combo->count(), 10);
    EXPECT_EQ(combo->itemText(0), "Front_Center.wav");

    view.SelectSample(combo->findText("Noise.wav"));
    EXPECT_GT(view.GetWaveformView()->GetSample().GetCount(), 24000);
    EXPECT_EQ(view.GetSpectrumView()->GetSample().GetCount(), view.GetWaveformView()->GetSample().GetCount());
    EXPECT_EQ(view.GetWaveformView()->GetMode(), CSampleView::Mode::Waveform);
    EXPECT_EQ(view.GetSpectrumView()->GetMode(), CSampleView::Mode::Spectrum);

    view.SelectSample(combo->count() - 1);
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_EQ(sink.errors[0], "Unexpected End Of File Reading <" + folder.File("Samples/zz-broken.wav") + ">");
    EXPECT_GT(view.GetWaveformView()->GetSample().GetCount(), 24000) << "the last good sample stays";

    view.SelectSample(combo->findText("Front_Center.wav"));
    SaveScreenshot(view, "sample-analyzer.png");

    CScratchFolder empty;
    std::filesystem::create_directory(empty.path / "Samples");
    // A parent (the main window's tab control) owns it; it stays a window.
    QWidget owner;
    auto* emptyView = new CSampleAnalyzerView(&owner, empty.path.string(), &sink);
    EXPECT_EQ(emptyView->GetSampleCombo()->count(), 0);
    EXPECT_TRUE(emptyView->isWindow());
}
