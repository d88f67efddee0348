#include "tests/editors/studioview/StudioPageRig.h"

#include <QCoreApplication>
#include <QTest>

#include "host/Studio.h"

namespace mainwindow_test {

CStudioPageRig::CStudioPageRig(RigOptions options, QSize windowSize) : rig(std::move(options))
{
    view = new CStudioView(rig.application.Studio(), rig.application.Registry());
    rig.window->InstallPage(CMainWindow::kStudioPage, view);
    rig.window->resize(windowSize);
    rig.window->show();
    view->SetMenuChooser([this](const std::vector<studio_view::MenuEntry>& entries, QPoint) {
        shown.push_back(entries);
        if (answers.empty())
            return 0;
        const int id = answers.front();
        answers.erase(answers.begin());
        return id;
    });
    QCoreApplication::processEvents();
}

CStudio& CStudioPageRig::Studio()
{
    return rig.application.Studio();
}

CMachineContainer* CStudioPageRig::AddByMenu(const std::string& type, QPoint pixel)
{
    int id = 0;
    for (const studio_view::MenuEntry& entry : view->Gestures().NewMachineMenu())
        if (entry.text == type)
            id = entry.id;
    if (id == 0)
        return nullptr;
    answers.push_back(id);
    const std::size_t before = Studio().Containers().size();
    QTest::mouseClick(view->Canvas(), Qt::RightButton, {}, pixel);
    return Studio().Containers().size() > before ? Studio().Containers().back() : nullptr;
}

} // namespace mainwindow_test
