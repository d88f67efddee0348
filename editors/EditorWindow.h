#pragma once
// CEditorWindow: the window of its own in which a machine shows its custom
// editor (GUI mode 2). Its client area is sized from the machine's
// GetEditorRect and handed to CreateEditor as an opaque handle; closing it
// tells the owner, which returns the box to mode 0 through CloseEditor.
//
// Threads: user-interface thread.

#include <functional>

#include <QWidget>

class CMachine;

class CEditorWindow : public QWidget {
public:
    /// Creates the machine's editor inside; IsOpen() is false when the
    /// machine gave no rectangle or no editor.
    CEditorWindow(CMachine* machine, const QString& title, QWidget* parent);

    bool IsOpen() const { return editor != nullptr; }
    void* EditorHandle() const { return editor; }
    /// Called once when the user closes the window.
    void SetClosed(std::function<void()> handler) { closed = std::move(handler); }
    /// Closes without calling the handler (the box left mode 2 itself).
    void Dismiss();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CMachine* machine;
    void* editor = nullptr;
    std::function<void()> closed;
};
