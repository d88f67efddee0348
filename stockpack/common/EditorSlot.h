#pragma once
// CEditorSlot: where a stock machine keeps its open editor. Open puts the
// editor's panel into a window of the toolkit inside the parent the host
// gave (an opaque WindowHandle), refreshed from the machine on every
// display refresh; Close takes it down. The window may also go with its
// parent (the host closing the editor's frame): the slot notices and
// reports no panel from then on. The machine's header needs no Qt.
//
// Threads: user-interface thread.

#include <memory>

#include "framework/Machine.h"

class CParameterPanel;

class CEditorSlot {
public:
    CEditorSlot();
    ~CEditorSlot();
    CEditorSlot(const CEditorSlot&) = delete;
    CEditorSlot& operator=(const CEditorSlot&) = delete;

    /// Closes an open editor first; returns the new editor's window, or
    /// null without a parent or a panel.
    WindowHandle Open(WindowHandle parent, std::unique_ptr<CParameterPanel> panel);
    void Close();
    /// The open editor's panel, or null.
    CParameterPanel* Panel() const;
    WindowHandle Window() const;

private:
    struct View;
    std::unique_ptr<View> view;
};
