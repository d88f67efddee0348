#pragma once
// CProjectInfoView: the "Project Info" page, the project's notes as plain
// text. Every edit goes straight into the project, so saving never misses
// the last keystrokes; opening a project shows its notes.
//
// Threads: user-interface thread.

#include <QPlainTextEdit>

class CProject;

class CProjectInfoView : public QPlainTextEdit {
public:
    CProjectInfoView(CProject& project, QWidget* parent = nullptr);
    /// Shows the project's notes (after new and open).
    void ShowNotes();

private:
    CProject& project;
    bool showing = false;
};
