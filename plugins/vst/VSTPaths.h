#pragma once
// CVSTPaths: the "VST Paths" page of the options: the folders searched for
// VST plug-ins, in search order, with "Add Path..." (a folder chooser
// titled "Select VST PlugIn Folder"; the folder is appended, duplicates
// allowed) and "Remove Selected Path". It edits the list it is given in
// place; the scan reads it at the next start.
//
// Threads: user-interface thread only.

#include <functional>
#include <string>
#include <vector>

#include <QWidget>

class QListWidget;
class QPushButton;

class CVSTPaths : public QWidget {
public:
    /// Asks for a folder; "" when the user cancelled. Tests answer it.
    using FolderChooser = std::function<std::string(QWidget* parent, const QString& title)>;

    explicit CVSTPaths(std::vector<std::string>& paths, QWidget* parent = nullptr);

    /// Replaces the system's folder dialog.
    void SetFolderChooser(FolderChooser chooser) { chooseFolder = std::move(chooser); }

    void AddPath();
    void RemoveSelectedPath();

    QListWidget* List() const { return list; }
    QPushButton* AddButton() const { return addButton; }
    QPushButton* RemoveButton() const { return removeButton; }

private:
    void Refill();

    std::vector<std::string>& paths;
    QListWidget* list;
    QPushButton* addButton;
    QPushButton* removeButton;
    FolderChooser chooseFolder;
};
