#include "tests/editors/editorviews/EditorRig.h"

#include <filesystem>

#include <QComboBox>
#include <QCoreApplication>
#include <QTabWidget>

#include "editors/NoteView.h"
#include "host/AppOptions.h"
#include "host/MachineRegistry.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"

namespace editorviews_test {

CEditorRig::CEditorRig(bool audio) : folder(mainwindow_test::MakeScratchFolder())
{
    const std::string optionsPath = folder + "/Corvane.opt";
    {
        CAppOptions stored(optionsPath);
        stored.outputDriver = 0;
        stored.Save();
        stored.DisableSaveOnExit();
    }
    CApplication::Settings settings;
    settings.optionsPath = optionsPath;
    settings.saveOptions = false;
    settings.plugInFolder = PLUGIN_FOLDER;
    settings.startAudio = audio;
    settings.openWindows = [this] {
        window = std::make_unique<CMainWindow>(application, chooser, messages);
        pages = std::make_unique<CEditorPages>(*window, application, chooser, messages);
        livePages.store(pages.get());
    };
    settings.displayRefresh = [this] {
        window->RefreshFromDisplayThread();
        if (CEditorPages* current = livePages.load())
            current->RefreshFromDisplayThread();
    };
    application.Init(settings);
    window->Commands().OpenStartProject("");
}

CEditorRig::~CEditorRig()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

CMachineContainer* CEditorRig::AddMachine(const char* identifier)
{
    CMachineInfo* type = application.Registry().FindByIdentifier(identifier);
    if (type == nullptr)
        return nullptr;
    return AddProjectMachine(application.Project(), type, 96, 96);
}

void CEditorRig::ShowPage(int index)
{
    window->resize(1500, 950);
    window->show();
    window->Tabs()->setCurrentIndex(index);
    QCoreApplication::processEvents();
}

bool Choose(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

QPoint Cell(const CNoteView& roll, int tick, int row)
{
    return {roll.XOfTick(tick) + roll.TickWidth() / 2, roll.YOfRow(row) + roll.RowHeight() / 2};
}

bool WaitFor(const std::function<bool()>& done, int boundMs)
{
    return mainwindow_test::ProcessEventsUntil(done, boundMs);
}

} // namespace editorviews_test
