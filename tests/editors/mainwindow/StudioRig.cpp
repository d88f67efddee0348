#include "tests/editors/mainwindow/StudioRig.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <QCoreApplication>

#include "host/AppOptions.h"

namespace mainwindow_test {

std::optional<std::string> CScriptedChooser::Next()
{
    if (answers.empty())
        return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> CScriptedChooser::ChooseOpenPath(const std::string& filter, const std::string& extension)
{
    asked.push_back("open " + filter + " " + extension);
    return Next();
}

std::optional<std::string> CScriptedChooser::ChooseSavePath(const std::string& filter, const std::string& extension)
{
    asked.push_back("save " + filter + " " + extension);
    return Next();
}

std::optional<std::string> CScriptedChooser::ChooseFolder(const std::string& title)
{
    asked.push_back("folder " + title);
    return Next();
}

std::string MakeScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-mainwindow-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return std::filesystem::temp_directory_path().string();
    return pattern;
}

std::string DemoPath()
{
    return BUNDLED_DEMO;
}

bool ProcessEventsUntil(const std::function<bool()>& done, int boundMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

CStudioRig::CStudioRig(RigOptions options) : folder(MakeScratchFolder())
{
    const std::string optionsPath = folder + "/Corvane.opt";
    {
        CAppOptions stored(optionsPath);
        stored.outputDriver = options.driver;
        stored.Save();
        stored.DisableSaveOnExit();
    }
    CApplication::Settings settings;
    settings.optionsPath = optionsPath;
    settings.saveOptions = false;
    settings.plugInFolder = PLUGIN_FOLDER;
    settings.startAudio = options.audio;
    settings.status = options.status;
    settings.audioFailure = options.audioFailure;
    settings.recoveryPath = options.recoveryPath;
    messages.yesNoAnswers.push_back(options.recover);
    settings.openWindows = [this] { window = std::make_unique<CMainWindow>(application, chooser, messages); };
    settings.closeWindows = [this] {
        window->StopWatchingDevices();
        window->CloseToolWindows();
    };
    settings.displayRefresh = [this] { window->RefreshFromDisplayThread(); };
    application.Init(settings);
    window->Commands().OpenStartProject("");
}

CStudioRig::~CStudioRig()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace mainwindow_test
