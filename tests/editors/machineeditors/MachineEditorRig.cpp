#include "tests/editors/machineeditors/MachineEditorRig.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <QWidget>

#include "editors/EditorWindow.h"
#include "editors/MainWindow.h"
#include "editors/StudioView.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"

using namespace studio_view;

namespace machine_editors_test {

CEditorRig::CEditorRig(mainwindow_test::RigOptions options)
    : CStudioPageRig(std::move(options), QSize(1024, 700))
{
}

CMachineContainer* CEditorRig::Add(const std::string& type, int x, int y)
{
    return AddByMenu(type, view->ToCanvas(Point{x, y}));
}

CEditorWindow* CEditorRig::OpenFromBoxMenu(CMachineContainer* box)
{
    const Rect r = view->Gestures().BoxRect(box);
    const Rect button = view->Gestures().MenuButtonRect(box);
    answers.push_back(CStudioGestures::kShowCustomGui);
    const QPoint pixel = view->ToCanvas(Point{r.x + button.x + button.width / 2, r.y + button.y + button.height / 2});
    QTest::mouseClick(view->Canvas(), Qt::LeftButton, {}, pixel);
    CEditorWindow* window = view->EditorWindow(box);
    if (window != nullptr)
        QCoreApplication::processEvents();
    return window;
}

void CEditorRig::Hide(CMachineContainer* box)
{
    view->BoxCommand(box, CStudioGestures::kHideGui);
    // The window goes by deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QWidget* EditorIn(CEditorWindow* window)
{
    if (window == nullptr)
        return nullptr;
    const auto children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    return children.size() == 1 ? children.front() : nullptr;
}

QImage Screenshot(QWidget* window, const QString& name)
{
    QDir().mkpath(QStringLiteral(CORVANE_SCREENSHOT_DIR));
    const QImage image = window->grab().toImage();
    // The run at twice the scale keeps its pictures beside the others.
    const QString suffix = image.devicePixelRatio() > 1.0 ? QStringLiteral("-200") : QString();
    image.save(QStringLiteral(CORVANE_SCREENSHOT_DIR) + "/" + name + suffix + ".png");
    return image;
}

} // namespace machine_editors_test
