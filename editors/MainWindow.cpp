#include "editors/MainWindow.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMetaObject>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Application.h"
#include "app/DriverManager.h"
#include "drivers/DeviceLoss.h"
#include "editors/BuiltinEditorFactory.h"
#include "editors/AboutBox.h"
#include "gui/DialogServices.h"
#include "editors/MainToolBar.h"
#include "editors/OptionsDialog.h"
#include "editors/PeakMeterView.h"
#include "editors/ProjectInfoView.h"
#include "samples/HostBankServer.h"
#include "samples/gui/BankExplorerView.h"
#include "samples/gui/SampleAnalyzerView.h"
#include "host/CorvHost.h"
#include "host/Studio.h"
#include "platform/Paths.h"
#include "project/Project.h"
#include "project/UndoHistory.h"
#include "framework/Error.h"
#include "sequencing/SequenceEditor.h"

namespace {

constexpr const char* kPageNames[CMainWindow::kPageCount] = {"Studio", "Pattern Editor", "Sequence Editor",
                                                             "HD Recorder", "Project Info"};

/// What a page shows until its editor is installed.
QWidget* Placeholder(const QString& name)
{
    auto* page = new QLabel(name);
    page->setAlignment(Qt::AlignCenter);
    page->setStyleSheet(QStringLiteral("color: #4a5058; font-size: 18pt; background: #1d1f23;"));
    return page;
}

} // namespace

CMainWindow::CMainWindow(CApplication& application, CFileChooser& chooser, CMessageSink& messages)
    : application(application), messages(messages), commands(application, chooser, messages), chooser(chooser)
{
    setWindowTitle(QStringLiteral("Corvane Studio"));
    resize(640, 480);

    CMainToolBar::Actions actions;
    actions.newProject = [this] { Command(kNewProject); };
    actions.openProject = [this] { Command(kOpenProject); };
    actions.saveProject = [this] { Command(kSaveProject); };
    actions.tempo = [this](double value) { this->application.ChangeTempo(value); };
    actions.ticksPerBeat = [this](double value) { this->application.ChangeTicksPerBeat(value); };
    actions.masterGain = [this](double gain) { this->application.Studio().SetMasterVolume(gain); };

    auto* central = new QWidget(this);
    toolBar = new CMainToolBar(actions, central);
    tabs = new QTabWidget(central);
    tabs->setDocumentMode(false);
    for (int index = 0; index < kPageCount; ++index)
        tabs->addTab(Placeholder(QString::fromUtf8(kPageNames[index])), QString::fromUtf8(kPageNames[index]));
    projectInfo = new CProjectInfoView(application.Project());
    InstallPage(kProjectInfoPage, projectInfo);
    tabs->setCurrentIndex(kStudioPage);

    // The tab control sits 8 pixels in from the sides, 6 below the tool bar
    // and 10 above the bottom edge.
    auto* pageArea = new QVBoxLayout;
    pageArea->setContentsMargins(8, 6, 8, 10);
    pageArea->addWidget(tabs);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addLayout(pageArea, 1);
    setCentralWidget(central);

    CreateMenus();
    CreateShortcuts();
    aboutBox = new CAboutBox(QString::fromStdString(CApplication::AboutText()), this);
    aboutBox->hide();
    commands.SetChangeHandler([this] { RefreshProject(); });
    // Keys go to the pages, not to the tempo field, so Space plays at once;
    // a tempo typed and confirmed hands the keys back to the pages.
    setFocusProxy(tabs);
    for (QWidget* field : {static_cast<QWidget*>(toolBar->TempoField()), static_cast<QWidget*>(toolBar->TicksPerBeatField())})
        connect(static_cast<QAbstractSpinBox*>(field), &QAbstractSpinBox::editingFinished, this, [this] {
            if (QApplication::focusWidget() == toolBar->TempoField() || QApplication::focusWidget() == toolBar->TicksPerBeatField())
                tabs->setFocus();
        });
    documentOpener = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    application.SetHistoryListener([this] { RefreshHistory(); });
    qApp->installEventFilter(this);
    autosaveTimer = new QTimer(this);
    connect(autosaveTimer, &QTimer::timeout, this, [this] { AutosaveNow(); });
    autosaveTimer->start(CApplication::kAutosaveSeconds * 1000);
    RefreshProject();
    deviceLostListener = AddDeviceLostListener(&CMainWindow::DeviceLost, this);
    machineEditors = std::make_unique<CBuiltinEditorFactory>(messages);
    SetMachineEditorFactory(machineEditors.get());
}

CMainWindow::~CMainWindow()
{
    StopWatchingDevices();
    // The application may be gone already (the program destroys the window
    // last); CloseToolWindows let go of it.
    qApp->removeEventFilter(this);
    // Fields losing focus while they go would commit their values to an
    // application that may be gone already, through a window half torn down.
    toolBar->TempoField()->blockSignals(true);
    toolBar->TicksPerBeatField()->blockSignals(true);
    projectInfo->blockSignals(true);
    if (GetMachineEditorFactory() == machineEditors.get())
        SetMachineEditorFactory(nullptr);
}

void CMainWindow::StopWatchingDevices()
{
    if (deviceLostListener != 0) {
        RemoveDeviceLostListener(deviceLostListener);
        deviceLostListener = 0;
    }
}

void CMainWindow::DeviceLost(void* context, const char* driverName, const char* text)
{
    // The driver's watcher thread, with the listener list locked: stopping
    // the driver here would wait for this very thread, so the work is posted
    // and the thread goes on. A window gone before the call runs takes the
    // posted call with it.
    auto* window = static_cast<CMainWindow*>(context);
    QMetaObject::invokeMethod(
        window, [window, name = std::string(driverName), copy = std::string(text)] { window->HandleDeviceLost(name, copy); },
        Qt::QueuedConnection);
}

void CMainWindow::HandleDeviceLost(const std::string& driverName, const std::string& text)
{
    // A loss reported while the driver was already being replaced belongs
    // to a driver no longer playing; the new one is left alone.
    const bool current = driverName == application.Drivers().Current().GetName();
    if (current)
        application.StopDriver();
    messages.ShowError(text + "\n\nThe studio runs without sound: choose a driver in View > Options... to play again.");
}

QAction* CMainWindow::AddCommand(QMenu* menu, const QString& text, int id, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    return action;
}

void CMainWindow::CreateMenus()
{
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommand(fileMenu, QStringLiteral("&New Project"), kNewProject, QKeySequence::New);
    AddCommand(fileMenu, QStringLiteral("&Open Project..."), kOpenProject, QKeySequence::Open);
    AddCommand(fileMenu, QStringLiteral("&Save Project"), kSaveProject, QKeySequence::Save);
    AddCommand(fileMenu, QStringLiteral("Save Project &As..."), kSaveProjectAs, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    fileMenu->addSeparator();
    AddCommand(fileMenu, QStringLiteral("E&xit"), kExit, QKeySequence(QStringLiteral("Ctrl+Q")));

    // Edit sits between File and View; its entries say what they take back.
    editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    undoAction = AddCommand(editMenu, QStringLiteral("&Undo"), kUndo, QKeySequence::Undo);
    redoAction = AddCommand(editMenu, QStringLiteral("&Redo"), kRedo);
    redoAction->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    connect(editMenu, &QMenu::aboutToShow, this, [this] {
        this->application.Studio().Journal().Finish();
        RefreshHistory();
    });

    viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    AddCommand(viewMenu, QStringLiteral("&Studio"), kViewStudio, QKeySequence(QStringLiteral("Ctrl+1")));
    AddCommand(viewMenu, QStringLiteral("&Pattern Editor"), kViewPatternEditor, QKeySequence(QStringLiteral("Ctrl+2")));
    AddCommand(viewMenu, QStringLiteral("S&equence Editor"), kViewSequenceEditor, QKeySequence(QStringLiteral("Ctrl+3")));
    AddCommand(viewMenu, QStringLiteral("&HD Recorder"), kViewHDRecorder, QKeySequence(QStringLiteral("Ctrl+4")));
    AddCommand(viewMenu, QStringLiteral("Project &Info"), kViewProjectInfo, QKeySequence(QStringLiteral("Ctrl+5")));
    viewMenu->addSeparator();
    optionsAction = AddCommand(viewMenu, QStringLiteral("&Options..."), kOptions);
    // The bank windows come after every entry of the studio's own menu, so
    // the command ids users and scripts know keep their places.
    viewMenu->addSeparator();
    bankExplorerAction = viewMenu->addAction(QStringLiteral("Sample &Banks..."));
    connect(bankExplorerAction, &QAction::triggered, this, [this] { ShowBankExplorer(); });
    AddCommand(viewMenu, QStringLiteral("Sample &Analyzer..."), kSampleAnalyzer);

    helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(helpMenu, QStringLiteral("&Contents..."), kHelpContents, QKeySequence::HelpContents);
    AddCommand(helpMenu, QStringLiteral("&About..."), kAbout);
}

void CMainWindow::CreateShortcuts()
{
    // Space plays and stops the song from anywhere in the window; text
    // fields still get their spaces, as they claim the key first.
    auto* play = new QAction(QStringLiteral("Play / Stop Song"), this);
    play->setShortcut(QKeySequence(Qt::Key_Space));
    play->setShortcutContext(Qt::WindowShortcut);
    connect(play, &QAction::triggered, this, [this] { ToggleSongPlayback(); });
    addAction(play);
}

QAction* CMainWindow::Action(int id) const
{
    for (QMenu* menu : {fileMenu, editMenu, viewMenu, helpMenu})
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->data().toInt() == id)
                return action;
    return nullptr;
}

QAction* CMainWindow::AddViewEntry(const QString& text, std::function<void()> action)
{
    auto* entry = new QAction(text, viewMenu);
    connect(entry, &QAction::triggered, this, [action = std::move(action)] { action(); });
    // Above the separator that leads to "Options...".
    const QList<QAction*> actions = viewMenu->actions();
    const int options = static_cast<int>(actions.indexOf(optionsAction));
    viewMenu->insertAction(options > 0 ? actions[options - 1] : optionsAction, entry);
    return entry;
}

void CMainWindow::InstallPage(int index, QWidget* page)
{
    if (index < 0 || index >= kPageCount || page == nullptr)
        return;
    const bool current = tabs->currentIndex() == index;
    QWidget* old = tabs->widget(index);
    tabs->removeTab(index);
    tabs->insertTab(index, page, QString::fromUtf8(kPageNames[index]));
    if (old != nullptr && old != page)
        old->deleteLater();
    if (current)
        tabs->setCurrentIndex(index);
}

QWidget* CMainWindow::Page(int index) const
{
    return tabs->widget(index);
}

void CMainWindow::Command(int id)
{
    switch (id) {
    case kNewProject: commands.NewProject(); break;
    case kOpenProject: commands.OpenProject(); break;
    case kSaveProject: commands.SaveProject(); break;
    case kSaveProjectAs: commands.SaveProjectAs(); break;
    case kExit:
        if (!MayQuit())
            break;
        SaveGeometry();
        QCoreApplication::exit(0);
        break;
    case kUndo: RunHistoryCommand(true); break;
    case kRedo: RunHistoryCommand(false); break;
    case kViewStudio: tabs->setCurrentIndex(kStudioPage); break;
    case kViewPatternEditor: tabs->setCurrentIndex(kPatternEditorPage); break;
    case kViewSequenceEditor: tabs->setCurrentIndex(kSequenceEditorPage); break;
    case kViewHDRecorder: tabs->setCurrentIndex(kHDRecorderPage); break;
    case kViewProjectInfo: tabs->setCurrentIndex(kProjectInfoPage); break;
    case kOptions: Options()->ShowOptions(); break;
    case kHelpContents: OpenHelp(); break;
    case kAbout: aboutBox->show(); aboutBox->raise(); break;
    case kSampleAnalyzer: ShowSampleAnalyzer(); break;
    default: break;
    }
}

COptionsDialog* CMainWindow::Options()
{
    if (optionsDialog == nullptr)
        optionsDialog = new COptionsDialog(application, chooser, messages, this);
    return optionsDialog;
}

void CMainWindow::CloseToolWindows()
{
    // The application is about to go: nothing here may call it any more.
    application.SetHistoryListener(nullptr);
    qApp->removeEventFilter(this);
    autosaveTimer->stop();
    delete bankExplorer;
    bankExplorer = nullptr;
    delete analyzer;
    analyzer = nullptr;
}

void CMainWindow::ShowBankExplorer()
{
    // One explorer for the whole run: it learns of banks only as they are
    // added, so a new one would miss those loaded before it.
    if (bankExplorer == nullptr)
        bankExplorer = new CBankExplorerView(application.Host().GetHostBankServer(), tabs, &chooser, &messages);
    bankExplorer->show();
    bankExplorer->raise();
}

void CMainWindow::ShowSampleAnalyzer()
{
    if (analyzer == nullptr && analyzerFactory)
        analyzer = analyzerFactory(this);
    if (analyzer == nullptr)
        analyzer = new CSampleAnalyzerView(tabs, "", &messages);
    if (analyzer != nullptr) {
        analyzer->show();
        analyzer->raise();
    }
}

QString CMainWindow::HelpFilePath()
{
    // The program lives in <root>/bin, the manual in <root>/docs.
    const std::string program = platform::ExecutablePath();
    const QFileInfo binary(QString::fromStdString(program));
    return binary.dir().absolutePath() + QStringLiteral("/../docs/index.html");
}

void CMainWindow::OpenHelp()
{
    const QString path = QFileInfo(HelpFilePath()).absoluteFilePath();
    const QString clean = QFileInfo(path).canonicalFilePath();
    if (clean.isEmpty()) {
        messages.ShowError("Can't Find The Manual <" + QFileInfo(path).absoluteFilePath().toStdString() + ">");
        return;
    }
    if (!documentOpener(clean))
        messages.ShowError("Can't Open The Manual <" + clean.toStdString() +
                           ">: no program is set to show web pages on this desktop");
}

void CMainWindow::ToggleSongPlayback()
{
    CSequenceEditor& song = application.SequenceEditor();
    if (song.IsPlaying() || song.IsPlayButtonDown())
        song.Stop();
    else
        song.Play();
}

void CMainWindow::RunHistoryCommand(bool undo)
{
    // Going to another step may rebuild the machines and patterns, and an
    // in-place step replaces notes; a drag still held would go on with what
    // is gone.
    if (QApplication::mouseButtons() != Qt::NoButton)
        return;
    try {
        if (undo)
            application.Undo();
        else
            application.Redo();
    } catch (const CError& error) {
        messages.ShowError(error.Message());
    }
    // An undo made in place keeps every pattern and machine, so no view
    // learns of a new object; each is painted again from what is there.
    for (QWidget* top : QApplication::topLevelWidgets())
        top->update();
    RefreshProject();
}

void CMainWindow::RefreshHistory()
{
    const CUndoHistory& history = application.History();
    setWindowTitle(QString::fromStdString(commands.Title()));
    undoAction->setEnabled(history.CanUndo());
    undoAction->setText(history.CanUndo() ? QStringLiteral("&Undo ") + QString::fromStdString(history.UndoLabel())
                                          : QStringLiteral("&Undo"));
    redoAction->setEnabled(history.CanRedo());
    redoAction->setText(history.CanRedo() ? QStringLiteral("&Redo ") + QString::fromStdString(history.RedoLabel())
                                          : QStringLiteral("&Redo"));
}

void CMainWindow::AutosaveNow()
{
    application.Autosave();
}

bool CMainWindow::MayQuit()
{
    return commands.ConfirmDiscard();
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) && !gestureEndQueued) {
        // After the widget has handled the release, so its last change is in.
        gestureEndQueued = true;
        QTimer::singleShot(0, this, [this] {
            gestureEndQueued = false;
            application.Studio().Journal().Finish();
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainWindow::RefreshProject()
{
    RefreshHistory();
    CCorvHost& host = application.Host();
    toolBar->ShowTempo(host.GetTempo(), host.GetTicksPerBeat());
    toolBar->ShowMasterGain(application.Studio().GetMasterVolume());
    projectInfo->ShowNotes();
}

void CMainWindow::RefreshFromDisplayThread()
{
    toolBar->PeakMeter()->PaintFromDisplayThread(application.PeakMeter());
}

void CMainWindow::ShowAtStart()
{
    if (!geometryFile.isEmpty()) {
        const QSettings settings(geometryFile, QSettings::IniFormat);
        const QByteArray geometry = settings.value(QStringLiteral("MainWindow/geometry")).toByteArray();
        if (!geometry.isEmpty() && restoreGeometry(geometry)) {
            show();
            tabs->setFocus();
            return;
        }
    }
    // Filling the screen first keeps the window large where nothing
    // manages windows and the maximize request goes unanswered.
    if (const QScreen* screen = this->screen())
        setGeometry(screen->availableGeometry());
    showMaximized();
    tabs->setFocus();
}

void CMainWindow::SaveGeometry() const
{
    if (geometryFile.isEmpty())
        return;
    QSettings settings(geometryFile, QSettings::IniFormat);
    settings.setValue(QStringLiteral("MainWindow/geometry"), saveGeometry());
    settings.sync();
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    if (!MayQuit()) {
        event->ignore();
        return;
    }
    SaveGeometry();
    event->accept();
    QCoreApplication::exit(0);
}
