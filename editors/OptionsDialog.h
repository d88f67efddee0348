#pragma once
// COptionsDialog: View > "Options...": the audio output page and the "VST
// Paths" page. Created on first use and kept; its size is remembered in
// the options file.
//
// Threads: user-interface thread.

#include <QDialog>

class CApplication;
class CDriverOptionsPage;
class CFileChooser;
class CMessageSink;
class CVSTPaths;
class QTabWidget;

class COptionsDialog : public QDialog {
public:
    COptionsDialog(CApplication& application, CFileChooser& chooser, CMessageSink& messages, QWidget* parent);

    /// Shows the dialog with the drivers' current settings.
    void ShowOptions();

    CDriverOptionsPage* DriverPage() const { return driverPage; }
    CVSTPaths* VstPage() const { return vstPage; }
    QTabWidget* Pages() const { return pages; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CApplication& application;
    QTabWidget* pages;
    CDriverOptionsPage* driverPage;
    CVSTPaths* vstPage;
};
