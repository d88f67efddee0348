#pragma once
// CVSTPaths: the options dialog's "VST Paths" page: the folders
// searched for VST plug-ins, with "Add Path..." (a folder chooser titled
// "Select VST PlugIn Folder") and "Remove Selected Path". Changes go into
// the options at once and are used from the next start.
//
// Threads: user-interface thread.

#include <QWidget>

class CAppOptions;
class CFileChooser;
class QListWidget;
class QPushButton;

class CVSTPaths : public QWidget {
public:
    CVSTPaths(CAppOptions& options, CFileChooser& chooser, QWidget* parent = nullptr);

    /// "Add Path...": asks for a folder and appends it unless listed.
    void AddPath();
    /// "Remove Selected Path".
    void RemoveSelectedPath();

    QListWidget* PathList() const { return list; }
    QPushButton* AddButton() const { return addButton; }
    QPushButton* RemoveButton() const { return removeButton; }

private:
    void ShowPaths();

    CAppOptions& options;
    CFileChooser& chooser;
    QListWidget* list;
    QPushButton* addButton;
    QPushButton* removeButton;
};
