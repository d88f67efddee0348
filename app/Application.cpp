#include "app/Application.h"

#include <cstdio>
#include <optional>

#include "app/DriverManager.h"
#include "app/GraphicsThread.h"
#include "drivers/AudioOutputDriver.h"
#include "framework/Error.h"
#include "host/PeakMeter.h"
#include "framework/Machine.h"
#include "framework/ScopedLock.h"
#include "host/AppOptions.h"
#include "machines/BuiltinMachines.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "machines/HDRecorder.h"
#include "machines/MIDIDevices.h"
#include "platform/Clock.h"
#include "platform/Directory.h"
#include "platform/SystemInfo.h"
#include "plugins/MachineLibraryLoader.h"
#include "plugins/vst/VSTScanner.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/RecoveryFile.h"
#include "project/UndoHistory.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "sequencing/StudioPlayback.h"

namespace {

CApplication* instance = nullptr;


} // namespace

CApplication::CApplication()
{
    instance = this;
}

CApplication::~CApplication()
{
    if (displayThread)
        displayThread->Stop();
    displayThread.reset();
    if (drivers) {
        StopDriver();
        options->outputDriver = drivers->CurrentIndex();
    }
    drivers.reset();
    if (settings.closeWindows)
        settings.closeWindows();
    // The studio's machines go first, while the editors that refer to them
    // still exist to be told; then the editors.
    if (studio) {
        studio->Journal().SetRecorder(nullptr);
        studio->Clear();
    }
    history.reset();
    recovery.reset();
    project.reset();
    sequenceEditor.reset();
    patternEditor.reset();
    studio.reset();
    // Recorder tracks and MIDI machines referred to these until the studio
    // was gone.
    recorder.reset();
    midiDevices.reset();
    peakMeter.reset();
    if (host)
        host->SetRegistry(nullptr);
    registry.reset();
    host.reset();
    options.reset();
    if (instance == this)
        instance = nullptr;
}

CApplication* CApplication::Instance()
{
    return instance;
}

void CApplication::Status(const std::string& line) const
{
    if (settings.status)
        settings.status(line);
}

void CApplication::Init(const Settings& newSettings)
{
    settings = newSettings;
    options = settings.optionsPath.empty() ? std::make_unique<CAppOptions>()
                                           : std::make_unique<CAppOptions>(settings.optionsPath);
    if (!settings.saveOptions)
        options->DisableSaveOnExit();

    Status("Initializing...");
    Status("Detecting Processor Features...");
    cpuFeatures = platform::ProbeCpuFeatures();
    Status("Obtaining System Information...");
    processorCount = platform::GetProcessorCount();

    Status("Initializing Audio...");
    midiDevices = std::make_unique<CMIDIDevices>();
    recorder = std::make_unique<CHDRecorder>();
    drivers = std::make_unique<CDriverManager>(*options);
    CAudioOutputDriver& driver = drivers->Current();
    host = std::make_unique<CCorvHost>(driver.GetBufferSize(), driver.GetSampleRate(), cpuFeatures);
    host->SetOutputChannelCount(driver.GetChannelCount());

    registry = std::make_unique<CMachineRegistry>();
    host->SetRegistry(registry.get());
    RegisterBuiltinMachines(*host, *registry, BuiltinMachineServices{midiDevices.get(), recorder.get()});
    const std::string folder = settings.plugInFolder.empty() ? DefaultPlugInFolder() : settings.plugInFolder;
    LoadMachineLibraries(folder, *host, *registry, settings.status);
    VSTScanSettings vstScan;
    vstScan.folders = options->vstPaths;
    vstScan.rescan = settings.rescanVst;
    vstScan.examine.timeoutSeconds = DefaultScanTimeoutSeconds();
    vstScan.status = settings.status;
    ScanVstFolders(vstScan, host.get(), registry.get());

    peakMeter = std::make_unique<CPeakMeter>();
    studio = std::make_unique<CStudio>(*host);
    studio->SetPeakMeter(peakMeter.get());
    patternEditor = std::make_unique<CPatternEditor>(*host);
    sequenceEditor = std::make_unique<CSequenceEditor>(*host, *patternEditor);
    InstallPlayback(*studio, *patternEditor, *sequenceEditor);
    project = std::make_unique<CProject>(*host, *registry, *studio, *patternEditor, *sequenceEditor);
    // Tracks started together start on the same block.
    recorder->SetBlockLock(&studio->Lock());
    sequenceEditor->SetRecordingHandler([this](bool on) { recorder->OnSongRecording(on); });
    history = std::make_unique<CUndoHistory>(*project);
    if (!settings.recoveryPath.empty())
        recovery = std::make_unique<CRecoveryFile>(settings.recoveryPath);
    patternEditor->SetJournal(&studio->Journal());
    sequenceEditor->SetJournal(&studio->Journal());
    studio->Journal().SetRecorder([this](const std::string& label, CInPlaceStep step) { RecordEdit(label, std::move(step)); });

    if (settings.openWindows)
        settings.openWindows();

    if (settings.startAudio) {
        try {
            StartDriver();
        } catch (const CError& error) {
            // A sound card another program holds must not keep the studio
            // from opening: with someone to tell, it runs on without sound
            // until another driver is chosen.
            if (!settings.audioFailure)
                throw;
            settings.audioFailure(error.Message());
        }
        displayThread = std::make_unique<CGraphicsThread>(*studio, peakMeter.get());
        displayThread->SetRefresh([this] {
            recorder->Refresh(platform::GetTickCount());
            sequenceEditor->UpdateFromPlayback();
            if (settings.displayRefresh)
                settings.displayRefresh();
        });
        displayThread->Resume();
    }
}

void CApplication::AdoptDriverFormat(CAudioOutputDriver& driver)
{
    CScopedLock<CMutex> hold(studio->Lock());
    host->SetOutputChannelCount(driver.GetChannelCount());
    CMachineContainer* master = studio->MasterContainer();
    std::optional<CScopedLock<CMachine>> masterHold;
    if (master != nullptr)
        masterHold.emplace(*master->machine);
    studio->UpdateMasterInputs();
    host->SetAudioFormat(driver.GetSampleRate(), driver.GetBufferSize());
    studio->SetSampleRate(driver.GetSampleRate());
    studio->SetBlockSize(driver.GetBufferSize());
}

void CApplication::StartDriver()
{
    CAudioOutputDriver& driver = drivers->Current();
    if (!driver.IsAvailable())
        return;
    driver.SetCallback(AudioCallback{&CStudio::AudioCallback, studio.get()});
    if (studio->MasterContainer() != nullptr)
        AdoptDriverFormat(driver);
    driver.Start();
    audioStarted = true;
}

void CApplication::StopDriver()
{
    if (!audioStarted)
        return;
    drivers->Current().Stop();
    audioStarted = false;
}

void CApplication::SelectDriver(int index)
{
    StopDriver();
    const int oldRate = host->GetSampleRate();
    const int oldBlock = host->GetBlockSize();
    drivers->SetCurrent(index);
    CAudioOutputDriver& driver = drivers->Current();
    const int rate = driver.GetSampleRate();
    const int block = driver.GetBufferSize();
    {
        CScopedLock<CMutex> hold(studio->Lock());
        host->SetAudioFormat(rate, block);
        if (rate != oldRate)
            studio->SetSampleRate(rate);
        if (block != oldBlock)
            studio->SetBlockSize(block);
    }
    StartDriver();
}

void CApplication::ChangeTempo(double beatsPerMinute)
{
    const auto setTempo = [studio = studio.get(), host = host.get()](double value) {
        CScopedLock<CMutex> hold(studio->Lock());
        host->SetTempo(value);
    };
    const double before = host->GetTempo();
    setTempo(beatsPerMinute);
    studio->Journal().Record("Change Tempo", {[=] { setTempo(before); }, [=] { setTempo(beatsPerMinute); }});
}

void CApplication::ChangeTicksPerBeat(double ticksPerBeat)
{
    const auto setTicks = [studio = studio.get(), host = host.get()](double value) {
        CScopedLock<CMutex> hold(studio->Lock());
        host->SetTicksPerBeat(value);
    };
    const double before = host->GetTicksPerBeat();
    setTicks(ticksPerBeat);
    studio->Journal().Record("Change Ticks Per Beat", {[=] { setTicks(before); }, [=] { setTicks(ticksPerBeat); }});
}

std::string CApplication::WindowTitle() const
{
    const std::string title = ProjectTitle(*project);
    return history && history->IsModified() ? title + " *" : title;
}

void CApplication::RecordEdit(const std::string& label, CInPlaceStep step)
{
    if (!history->Record(label, std::move(step)))
        return;
    if (history->StepsSinceTaken() >= kAutosaveSteps)
        Autosave();
    if (historyChanged)
        historyChanged();
}

void CApplication::Undo()
{
    studio->Journal().Finish();
    history->Undo();
    if (historyChanged)
        historyChanged();
}

void CApplication::Redo()
{
    studio->Journal().Finish();
    history->Redo();
    if (historyChanged)
        historyChanged();
}

bool CApplication::Autosave()
{
    studio->Journal().Finish();
    if (!recovery || !history->IsModified())
        return false;
    // Nothing new since the last autosave: the file already holds it.
    const std::pair<long, int> step{history->RecordedSteps(), history->StepCount()};
    if (step == autosavedStep && recovery->Exists())
        return false;
    autosavedStep = step;
    history->TakeStepCount();
    // The history's bytes are the project as of its last step: a copy of
    // them is all the writer needs, so no lock waits for the disk.
    recovery->Write(history->Current(), project->path);
    return true;
}

std::string CApplication::AboutText()
{
#if defined(__x86_64__)
    const char* platformName = "x86-64";
#elif defined(__aarch64__)
    const char* platformName = "AArch64";
#elif defined(__i386__)
    const char* platformName = "x86";
#else
    const char* platformName = "unknown";
#endif
    char text[512];
    std::snprintf(text, sizeof text,
                  "Version: %s\nPlatform: %s (gcc %i.%i.%i)\nVST PlugIn Technology by Steinberg\n"
                  "ASIO Technology by Steinberg",
                  "3.4.0", platformName, __GNUC__, __GNUC_MINOR__, __GNUC_PATCHLEVEL__);
    return text;
}
