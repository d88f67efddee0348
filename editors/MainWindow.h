#pragma once
// CMainWindow: the studio's single top-level window: the menu (File, View,
// Help, each entry with its command id), the main tool bar and the tab
// control with the pages "Studio", "Pattern Editor", "Sequence Editor",
// "HD Recorder" and "Project Info". Its commands call the application and
// the project commands; dialogs go through the injected file chooser and
// message sink.
//
// The editors install their widgets into the pages (InstallPage) and the
// bank windows add entries to the View menu (AddViewEntry).
//
// A lost device or server (drivers/DeviceLoss.h) is shown once, the lost
// driver is stopped and the studio goes on without sound until the user
// chooses a driver in View > Options....
//
// Threads: user-interface thread, except RefreshFromDisplayThread and the
// device-loss listener, which only posts to the user-interface thread.

#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>

#include "app/StudioCommands.h"

class CBuiltinEditorFactory;
class CAboutBox;
class CApplication;
class CFileChooser;
class CMainToolBar;
class CMessageSink;
class COptionsDialog;
class CProjectInfoView;
class QAction;
class QMenu;
class QTabWidget;
class QTimer;

class CMainWindow : public QMainWindow {
public:
    // Command ids of the menu entries.
    static constexpr int kExit = 40001;
    static constexpr int kSampleAnalyzer = 40003;
    static constexpr int kAbout = 40006;
    static constexpr int kViewStudio = 40007;
    static constexpr int kViewPatternEditor = 40008;
    static constexpr int kOptions = 40009;
    static constexpr int kViewProjectInfo = 40010;
    static constexpr int kViewHDRecorder = 40012;
    static constexpr int kViewSequenceEditor = 40015;
    static constexpr int kNewProject = 40017;
    static constexpr int kOpenProject = 40018;
    static constexpr int kSaveProject = 40019;
    static constexpr int kHelpContents = 40021;
    static constexpr int kSaveProjectAs = 40022;
    // The Edit menu's entries, beyond the studio's original table.
    static constexpr int kUndo = 40101;
    static constexpr int kRedo = 40102;

    // Tab indexes.
    static constexpr int kStudioPage = 0;
    static constexpr int kPatternEditorPage = 1;
    static constexpr int kSequenceEditorPage = 2;
    static constexpr int kHDRecorderPage = 3;
    static constexpr int kProjectInfoPage = 4;
    static constexpr int kPageCount = 5;

    CMainWindow(CApplication& application, CFileChooser& chooser, CMessageSink& messages);
    ~CMainWindow() override;

    /// Carries out a command id (menu entries, 40003, shortcuts).
    void Command(int id);
    /// The menu entry of a command id, or null.
    QAction* Action(int id) const;
    QMenu* FileMenu() const { return fileMenu; }
    QMenu* EditMenu() const { return editMenu; }
    QMenu* ViewMenu() const { return viewMenu; }
    QMenu* HelpMenu() const { return helpMenu; }
    /// Adds an entry to the View menu, above "Options...".
    QAction* AddViewEntry(const QString& text, std::function<void()> action);

    /// Puts a widget into a tab page in place of what it shows; the window
    /// takes ownership.
    void InstallPage(int index, QWidget* page);
    QWidget* Page(int index) const;
    QTabWidget* Tabs() const { return tabs; }
    CMainToolBar* ToolBar() const { return toolBar; }
    CProjectInfoView* ProjectInfo() const { return projectInfo; }
    CStudioCommands& Commands() { return commands; }
    /// Created on first use.
    COptionsDialog* Options();
    CAboutBox* AboutBox() const { return aboutBox; }

    /// Creates the sample analyzer window on the first command 40003 (by
    /// default the "Samples" folder of the working folder).
    void SetSampleAnalyzerFactory(std::function<QWidget*(QWidget* parent)> factory) { analyzerFactory = std::move(factory); }
    /// How Help > "Contents..." opens the manual; the desktop's default
    /// handler unless a test says otherwise. False when it could not.
    void SetDocumentOpener(std::function<bool(const QString& path)> opener) { documentOpener = std::move(opener); }
    /// "docs/index.html" in the folder above the program's folder.
    static QString HelpFilePath();

    /// Where the window's size and position are kept between runs; "" for
    /// nowhere.
    void SetGeometryFile(const QString& path) { geometryFile = path; }
    /// Shows the window where it was last time, else maximized.
    void ShowAtStart();
    void SaveGeometry() const;

    /// Closes the windows that use the host's services (the bank explorer,
    /// the sample analyzer), before those services go at shutdown, and stops
    /// listening to the application's history.
    void CloseToolWindows();

    /// Stops listening for lost devices; called before the application
    /// goes, again by the destructor.
    void StopWatchingDevices();

    /// Shows the title, tempo fields, volume and notes of the open project.
    void RefreshProject();
    /// The title's unsaved marker and the Edit menu's entries.
    void RefreshHistory();
    /// Writes the recovery file when there are unsaved changes (the
    /// autosave timer's tick).
    void AutosaveNow();
    /// Display thread: paints the meter and queues its present.
    void RefreshFromDisplayThread();

protected:
    void closeEvent(QCloseEvent* event) override;
    /// Every button or key released in the program ends a gesture: what a
    /// drag changed becomes its undo step.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateShortcuts();
    QAction* AddCommand(QMenu* menu, const QString& text, int id, const QKeySequence& shortcut = {});
    void OpenHelp();
    void RunHistoryCommand(bool undo);
    /// File > Exit and closing the window: false when the user cancels.
    bool MayQuit();
    void ToggleSongPlayback();
    void ShowSampleAnalyzer();
    void ShowBankExplorer();
    static void DeviceLost(void* context, const char* driverName, const char* text);
    void HandleDeviceLost(const std::string& driverName, const std::string& text);

    CApplication& application;
    CMessageSink& messages;
    CStudioCommands commands;
    CMainToolBar* toolBar = nullptr;
    QTabWidget* tabs = nullptr;
    CProjectInfoView* projectInfo = nullptr;
    QMenu* fileMenu = nullptr;
    QMenu* editMenu = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QTimer* autosaveTimer = nullptr;
    bool gestureEndQueued = false;
    QMenu* viewMenu = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* optionsAction = nullptr;
    COptionsDialog* optionsDialog = nullptr;
    CAboutBox* aboutBox = nullptr;
    QWidget* analyzer = nullptr;
    QWidget* bankExplorer = nullptr;
    QAction* bankExplorerAction = nullptr;
    CFileChooser& chooser;
    std::function<QWidget*(QWidget*)> analyzerFactory;
    std::function<bool(const QString&)> documentOpener;
    QString geometryFile;
    int deviceLostListener = 0;
    /// The built-in machines' editors, installed while the window lives.
    std::unique_ptr<CBuiltinEditorFactory> machineEditors;
};
