#include "stockpack/common/EditorSlot.h"

#include <QPointer>
#include <QTimer>

#include "gui/LiteContainerView.h"
#include "gui/WindowHandle.h"
#include "stockpack/common/ParameterPanel.h"

struct CEditorSlot::View {
    QPointer<CLiteContainerView> window;
    CParameterPanel* panel = nullptr;
};

CEditorSlot::CEditorSlot() : view(std::make_unique<View>()) {}

CEditorSlot::~CEditorSlot()
{
    Close();
}

WindowHandle CEditorSlot::Open(WindowHandle parent, std::unique_ptr<CParameterPanel> panel)
{
    Close();
    QWidget* parentWidget = gui::WidgetFromHandle(parent);
    if (parentWidget == nullptr || panel == nullptr)
        return nullptr;
    CParameterPanel* shown = panel.get();
    // The window owns the panel: whoever deletes the window (this slot or
    // the parent going) deletes the panel with it.
    auto* window = new CLiteContainerView(panel.release(), parentWidget, true);
    shown->Refresh();
    auto* refresh = new QTimer(window);
    QObject::connect(refresh, &QTimer::timeout, window, [shown] { shown->Refresh(); });
    refresh->start(CParameterPanel::kRefreshMs);
    window->show();
    view->window = window;
    view->panel = shown;
    return gui::HandleFromWidget(window);
}

void CEditorSlot::Close()
{
    if (view->window != nullptr)
        delete view->window.data();
    view->window = nullptr;
    view->panel = nullptr;
}

CParameterPanel* CEditorSlot::Panel() const
{
    return view->window != nullptr ? view->panel : nullptr;
}

WindowHandle CEditorSlot::Window() const
{
    return gui::HandleFromWidget(view->window.data());
}
