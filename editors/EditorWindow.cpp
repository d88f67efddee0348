#include "editors/EditorWindow.h"

#include <cstdint>

#include <QCloseEvent>

#include "framework/Machine.h"
#include "gui/WindowHandle.h"

CEditorWindow::CEditorWindow(CMachine* machine, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), machine(machine)
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    std::int16_t top = 0, left = 0, bottom = 0, right = 0;
    if (!machine->GetEditorRect(&top, &left, &bottom, &right))
        return;
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0)
        return;
    setFixedSize(width, height);
    // Plug-ins that draw through their own toolkit need a native window.
    setAttribute(Qt::WA_NativeWindow);
    editor = machine->CreateEditor(gui::HandleFromWidget(this));
    if (editor != nullptr)
        machine->ShowEditor();
}

void CEditorWindow::Dismiss()
{
    closed = nullptr;
    hide();
}

void CEditorWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (auto handler = std::move(closed)) {
        closed = nullptr;
        handler();
    }
}
