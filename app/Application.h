#pragma once
// CApplication: the root of the running program. It reads the options,
// probes the processor, creates the drivers, the host services, the machine
// registry (built-in types first, then every plug-in library), the studio
// and the display thread, starts audio, carries out the project commands,
// tempo changes and driver switches, and tears everything down in a fixed
// order.
//
// Threads: everything here runs on the user-interface (or command-line)
// thread. Changes the audio callback can see are made under the studio lock.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "host/InPlaceStep.h"

class CAppOptions;
class CCorvHost;
class CDriverManager;
class CGraphicsThread;
class CMachineRegistry;
class CPeakMeter;
class CStudio;
class CAudioOutputDriver;
class CHDRecorder;
class CMIDIDevices;
class CPatternEditor;
class CProject;
class CRecoveryFile;
class CUndoHistory;
class CSequenceEditor;

class CApplication {
public:
    struct Settings {
        /// The options file; "" for the per-user one.
        std::string optionsPath;
        /// Whether the options are written back at exit.
        bool saveOptions = true;
        /// The machine libraries' folder; "" for "PlugIns" beside the program.
        std::string plugInFolder;
        /// Start the current driver and the display thread (not for offline
        /// rendering or inspection).
        bool startAudio = true;
        /// Examine every VST plug-in file again instead of trusting the
        /// scan cache.
        bool rescanVst = false;
        /// Where start-up status lines go; standard error when headless.
        std::function<void(const std::string&)> status;
        /// Opens the studio's windows once the project objects exist and
        /// before audio starts (the GUI's main window).
        std::function<void()> openWindows;
        /// At shutdown, once audio has stopped and while the studio and the
        /// host services still exist: closes the windows that use them.
        std::function<void()> closeWindows;
        /// Display thread, each pass after the meter decayed: what the
        /// windows repaint from it (never touching a widget).
        std::function<void()> displayRefresh;
        /// Told when the driver fails to start; start-up then goes on
        /// without sound. Unset, the failure ends start-up.
        std::function<void(const std::string&)> audioFailure;
        /// Where autosave keeps unsaved work (CRecoveryFile::DefaultPath()
        /// for the studio); "" for no autosave.
        std::string recoveryPath;
    };

    CApplication();
    /// Tears down in order: display thread, driver, studio, registry, host,
    /// options (which writes the options file).
    ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    /// The process-wide application, or null.
    static CApplication* Instance();

    /// The start-up sequence. Throws CError on a failure that stops the
    /// program.
    void Init(const Settings& settings);

    /// Gives the current driver the engine's callback, updates the master's
    /// inputs and the audio format everywhere under the studio lock, then
    /// starts it. Nothing when the driver is not available.
    void StartDriver();
    /// Stops the current driver, switches, propagates a changed rate or
    /// block size, and starts the new one.
    void SelectDriver(int index);
    /// Applies a driver's format to the host and every machine without
    /// starting it (offline rendering uses this with its own driver).
    void AdoptDriverFormat(CAudioOutputDriver& driver);
    void StopDriver();

    void ChangeTempo(double beatsPerMinute);
    void ChangeTicksPerBeat(double ticksPerBeat);

    /// "Corvane Studio" or "Corvane Studio - <file name>", followed by
    /// " *" while there are unsaved changes.
    std::string WindowTitle() const;

    /// Autosave writes the recovery file after this many steps (and the
    /// window every kAutosaveSeconds) while there are unsaved changes.
    static constexpr int kAutosaveSteps = 50;
    static constexpr int kAutosaveSeconds = 60;
    /// One step of the history for a finished edit (the journal's recorder).
    void RecordEdit(const std::string& label, CInPlaceStep step);
    void Undo();
    void Redo();
    /// Writes the recovery file in the background when there are unsaved
    /// changes; false when there was nothing to write or no recovery file.
    bool Autosave();
    /// Told after every step, undo and redo (the window's title and menu).
    void SetHistoryListener(std::function<void()> listener) { historyChanged = std::move(listener); }
    CUndoHistory& History() { return *history; }
    /// Null without autosave.
    CRecoveryFile* Recovery() { return recovery.get(); }

    /// "Version: 3.4.0\nPlatform: ..." as the about box shows it.
    static std::string AboutText();

    CAppOptions& Options() { return *options; }
    CCorvHost& Host() { return *host; }
    CMachineRegistry& Registry() { return *registry; }
    CStudio& Studio() { return *studio; }
    CDriverManager& Drivers() { return *drivers; }
    CPeakMeter& PeakMeter() { return *peakMeter; }
    CPatternEditor& PatternEditor() { return *patternEditor; }
    CSequenceEditor& SequenceEditor() { return *sequenceEditor; }
    /// The open project: the studio, both editors and the notes.
    CProject& Project() { return *project; }
    /// The recorder panel's tracks.
    CHDRecorder& Recorder() { return *recorder; }
    CMIDIDevices& MidiDevices() { return *midiDevices; }
    std::int32_t CpuFeatures() const { return cpuFeatures; }
    int ProcessorCount() const { return processorCount; }

private:
    void Status(const std::string& line) const;

    Settings settings;
    std::unique_ptr<CAppOptions> options;
    std::int32_t cpuFeatures = 0;
    int processorCount = 1;
    std::unique_ptr<CMIDIDevices> midiDevices;
    std::unique_ptr<CHDRecorder> recorder;
    std::unique_ptr<CDriverManager> drivers;
    std::unique_ptr<CCorvHost> host;
    std::unique_ptr<CMachineRegistry> registry;
    std::unique_ptr<CPeakMeter> peakMeter;
    std::unique_ptr<CStudio> studio;
    std::unique_ptr<CPatternEditor> patternEditor;
    std::unique_ptr<CSequenceEditor> sequenceEditor;
    std::unique_ptr<CProject> project;
    std::unique_ptr<CUndoHistory> history;
    std::unique_ptr<CRecoveryFile> recovery;
    std::function<void()> historyChanged;
    std::pair<long, int> autosavedStep{-1, -1};
    std::unique_ptr<CGraphicsThread> displayThread;
    bool audioStarted = false;
};
