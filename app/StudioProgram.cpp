#include "app/StudioProgram.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

#include "app/Application.h"
#include "drivers/DriverMessages.h"
#include "editors/EditorPages.h"
#include "editors/MainWindow.h"
#include "gui/QtDialogs.h"
#include "editors/SplashWindow.h"
#include "editors/StudioStyle.h"
#include "editors/StudioView.h"
#include "framework/Error.h"
#include "host/AppOptions.h"
#include "project/Project.h"
#include "project/RecoveryFile.h"
#include "sequencing/StudioPlayback.h"

namespace {

/// Drivers report from their own threads; the box opens on the
/// user-interface thread, and the reporter does not wait for it.
void ShowDriverMessageInWindow(void* context, const char* text)
{
    auto* messages = static_cast<CMessageSink*>(context);
    const std::string copy = text;
    QMetaObject::invokeMethod(qApp, [messages, copy] { messages->ShowError(copy); }, Qt::QueuedConnection);
}

/// The window's place is kept beside the options file, whose own layout
/// has no room for it.
QString GeometryFileBeside(const std::string& optionsPath)
{
    if (optionsPath.empty())
        return QString();
    return QFileInfo(QString::fromStdString(optionsPath)).dir().filePath(QStringLiteral("Window.ini"));
}

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

bool IsStudioCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-')
            return false;
    return true;
}

bool HasDisplay()
{
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

int RunStudio(int argc, char** argv)
{
    // The command line is one project path; a path with spaces may arrive
    // split, as the shell saw it, and is joined back.
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);

    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane Studio"));
    studio_style::Apply(qt);

    CQtMessageSink messages;
    CQtFileChooser chooser;
    auto splash = std::make_unique<CSplashWindow>();
    splash->show();
    QApplication::processEvents();

    // Declared before the application so that it is destroyed after it:
    // the display thread and the driver stop before any widget goes.
    std::unique_ptr<CMainWindow> window;
    std::unique_ptr<CEditorPages> editorPages;
    int result = 0;
    {
        CApplication application;
        CApplication::Settings settings;
        settings.status = [&splash](const std::string& line) { splash->ShowStatus(line); };
        settings.recoveryPath = CRecoveryFile::DefaultPath();
        settings.openWindows = [&] {
            window = std::make_unique<CMainWindow>(application, chooser, messages);
            auto* studioView = new CStudioView(application.Studio(), application.Registry());
            studioView->Gestures().SetAfterCreate([&application](CMachineContainer* machine) {
                AddMachineToEditors(application.PatternEditor(), application.SequenceEditor(), machine);
            });
            window->InstallPage(CMainWindow::kStudioPage, studioView);
            editorPages = std::make_unique<CEditorPages>(*window, application, chooser, messages);
            window->SetGeometryFile(GeometryFileBeside(CAppOptions::DefaultPath()));
            messages.SetParent(window.get());
            chooser.SetParent(window.get());
            application.Project().reporter = [&messages](const std::string& text) { messages.ShowError(text); };
            window->ShowAtStart();
        };
        settings.closeWindows = [&window] {
            if (window) {
                window->StopWatchingDevices();
                window->CloseToolWindows();
            }
        };
        settings.displayRefresh = [&window, &editorPages] {
            window->RefreshFromDisplayThread();
            editorPages->RefreshFromDisplayThread();
        };
        settings.audioFailure = [&messages](const std::string& text) {
            messages.ShowError(text + "\n\nThe studio runs without sound: choose another driver or device in "
                                      "View > Options...");
        };
        SetDriverMessageHandler(&ShowDriverMessageInWindow, &messages);
        try {
            application.Init(settings);
        } catch (const CError& error) {
            splash.reset();
            messages.SetParent(nullptr);
            messages.ShowError(error.Message());
            SetDriverMessageHandler(nullptr, nullptr);
            return 1;
        }
        splash.reset();
        window->Commands().OpenStartProject(commandLine);
        result = QApplication::exec();
        // A clean end: the work was saved or knowingly discarded.
        window->Commands().Exited();
        window->hide();
        SetDriverMessageHandler(nullptr, nullptr);
    }
    return result;
}
