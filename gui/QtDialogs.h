#pragma once
// The file chooser and message sink of the running studio: Qt's file and
// folder dialogs and QMessageBox::critical with the caption "Corvane".
//
// Threads: user-interface thread.

#include "gui/DialogServices.h"

class QWidget;

class CQtFileChooser : public CFileChooser {
public:
    explicit CQtFileChooser(QWidget* parent = nullptr) : parent(parent) {}
    void SetParent(QWidget* newParent) { parent = newParent; }

    std::optional<std::string> ChooseOpenPath(const std::string& filter, const std::string& defaultExtension) override;
    std::optional<std::string> ChooseSavePath(const std::string& filter, const std::string& defaultExtension) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;

private:
    QWidget* parent;
};

class CQtMessageSink : public CMessageSink {
public:
    explicit CQtMessageSink(QWidget* parent = nullptr) : parent(parent) {}
    void SetParent(QWidget* newParent) { parent = newParent; }
    void ShowError(const std::string& text) override;
    SaveChoice AskSaveChanges(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

private:
    QWidget* parent;
};
