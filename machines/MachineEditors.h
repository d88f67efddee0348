#pragma once
// The built-in machines' editor windows. The machines know no toolkit: the
// program's windows register a factory here when they open, and a machine's
// CreateEditor asks it for the window that shows the machine's editor model.
// Without a factory (the command line, headless tests) the machines have no
// custom editor, and the studio greys "Show Custom GUI" for them.
//
// Threads: user-interface thread.

#include <cstdint>

#include "framework/Machine.h"

class CMachineEditorFactory {
public:
    virtual ~CMachineEditorFactory() = default;
    /// The editor's size for a machine, false when it has none.
    virtual bool EditorSize(CMachine& machine, int* width, int* height) = 0;
    /// Creates the editor inside parent; null when the machine has none.
    virtual WindowHandle OpenEditor(CMachine& machine, WindowHandle parent) = 0;
    /// Destroys an editor OpenEditor returned; one whose window has already
    /// gone is passed over.
    virtual void CloseEditor(WindowHandle editor) = 0;
};

/// The program's windows install their factory (null removes it).
void SetMachineEditorFactory(CMachineEditorFactory* factory);
CMachineEditorFactory* GetMachineEditorFactory();

/// The three editor operations every built-in machine shares; editor is the
/// machine's own field that holds the open editor, or null.
namespace machine_editors {

bool EditorRect(CMachine& machine, std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right);
/// Closes an editor still open first, so a machine has at most one.
WindowHandle Create(CMachine& machine, void*& editor, WindowHandle parent);
void Close(void*& editor);

} // namespace machine_editors
