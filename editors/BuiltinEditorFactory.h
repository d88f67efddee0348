#pragma once
// CBuiltinEditorFactory: the windows of the host's built-in machines'
// editors (arpeggiator, MIDI input and output, control-change mapper). The
// main window installs it for the machines, which reach it through
// machines/MachineEditors.h; each editor is a child of the window the
// studio opens, and the factory remembers it only weakly, since that window
// may go first (the studio closing) and take the editor along.
//
// Threads: user-interface thread.

#include <utility>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "machines/MachineEditors.h"

class CMessageSink;

class CBuiltinEditorFactory : public CMachineEditorFactory {
public:
    /// Device failures of the MIDI editors go to messages.
    explicit CBuiltinEditorFactory(CMessageSink& messages) : messages(messages) {}
    /// Destroys the editors still open.
    ~CBuiltinEditorFactory() override;

    bool EditorSize(CMachine& machine, int* width, int* height) override;
    WindowHandle OpenEditor(CMachine& machine, WindowHandle parent) override;
    void CloseEditor(WindowHandle editor) override;

    /// Editors open now.
    int OpenCount() const;

private:
    CMessageSink& messages;
    std::vector<std::pair<void*, QPointer<QWidget>>> open;
};
