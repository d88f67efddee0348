#pragma once
// CBankExplorerView: the bank explorer window. A tool bar with "Load Bank",
// then the lists "Banks", "Bank Information", "Bank Presets" and "Bank
// Samples" side by side with three sizing bars between them. A bank loads on
// a worker thread while a busy bar runs, since the loader reads the whole
// file; choosing a preset opens the preset page.
//
// Threads: user-interface thread; the worker only runs the loader, and the
// explorer's notifications reach this window as queued calls.

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "samples/BankExplorer.h"

class CBankServer;
class CFileChooser;
class CMessageSink;
class CPresetEditor;
class QAction;
class QListWidget;
class QProgressBar;
class QSplitter;
class QThread;
class QTreeWidget;

class CBankExplorerView : public QWidget {
public:
    /// Connects to `server` at once. A window of its own even with a parent
    /// (the parent only owns it). The chooser and the sink stay the caller's
    /// and must outlive the window; null ones mean the Qt dialogs.
    CBankExplorerView(CBankServer* server, QWidget* parent = nullptr, CFileChooser* fileChooser = nullptr,
                      CMessageSink* messageSink = nullptr);
    ~CBankExplorerView() override;

    /// "Load Bank": asks for a file and starts loading it.
    void LoadBankFromDialog();
    /// Starts loading `path` on the worker; false while a load runs.
    bool StartLoading(const std::string& path);
    bool IsLoading() const { return worker != nullptr; }
    /// Called on this thread when a started load has finished, with its code.
    std::function<void(int code)> onLoadFinished;

    /// Called when a preset is chosen; when unset, the window shows its own
    /// preset page.
    std::function<void(const std::string& bankName, const std::string& presetName, int presetNumber)>
        onPresetChosen;

    CBankExplorer& GetExplorer() { return explorer; }
    QListWidget* GetBankList() const { return bankList; }
    QTreeWidget* GetInformationView() const { return informationView; }
    QListWidget* GetPresetList() const { return presetList; }
    QListWidget* GetSampleList() const { return sampleList; }
    QAction* GetLoadAction() const { return loadAction; }
    QProgressBar* GetBusyBar() const { return busyBar; }
    bool IsBusyBarShown() const;
    QSplitter* GetSplitter() const { return splitter; }
    /// The preset page once a preset was chosen without onPresetChosen.
    CPresetEditor* GetPresetEditor() const { return presetEditor; }

private:
    void RefreshBanks();
    void OnBankSelected(int row);
    void OnPresetSelected(int row);
    void OnLoadFinished(const std::string& path, int code);

    CBankExplorer explorer;
    CFileChooser* fileChooser;
    CMessageSink* messageSink;
    std::unique_ptr<CFileChooser> ownChooser;
    std::unique_ptr<CMessageSink> ownSink;

    QAction* loadAction;
    QProgressBar* busyBar;
    QAction* busyAction;   // shows and hides the busy bar in the tool bar
    QSplitter* splitter;
    QListWidget* bankList;
    QTreeWidget* informationView;
    QListWidget* presetList;
    QListWidget* sampleList;
    CPresetEditor* presetEditor = nullptr;
    QThread* worker = nullptr;
    int shownBank = -1;
};
