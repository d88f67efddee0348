#pragma once
// The dialogs a window asks for, behind two small interfaces, so that tests
// answer them without real dialogs and the studio shows the usual Qt ones.
//
// Threads: user-interface thread.

#include <string>

class QWidget;

class CFileChooser {
public:
    virtual ~CFileChooser() = default;
    /// The chosen path, or "" when the user cancelled. `filter` is a Qt
    /// name filter ("SoundFont Banks (*.sf2)").
    virtual std::string ChooseFileToOpen(QWidget* parent, const std::string& filter) = 0;
};

class CMessageSink {
public:
    virtual ~CMessageSink() = default;
    /// An error message box over `parent`.
    virtual void ShowError(QWidget* parent, const std::string& text) = 0;
};

/// The Qt open-file dialog.
class CQtFileChooser : public CFileChooser {
public:
    std::string ChooseFileToOpen(QWidget* parent, const std::string& filter) override;
};

/// A critical message box titled "Corvane".
class CQtMessageSink : public CMessageSink {
public:
    void ShowError(QWidget* parent, const std::string& text) override;
};
