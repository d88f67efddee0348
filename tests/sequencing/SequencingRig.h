#pragma once
// A project as the program builds one, for the sequencing and project
// tests: host, registry (the built-in types and the test machines), studio,
// both editors with playback installed, the project aggregate, and an
// offline driver that renders blocks through the studio's callback.
//
// Registered test types, by identifier:
//   "CorvPlug::Test Recorder"  4 parameters, MIDI notes
//   "CorvPlug::Test Pads"      2 parameters, 11 triggers
//   "CorvPlug::Test Two Ports" 4 parameters, two control inputs
//   "CorvPlug::Test Custom"    its own state format

#include <memory>
#include <string>
#include <vector>

#include "drivers/OfflineDriver.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/MachineRegistry.h"
#include "host/Studio.h"
#include "project/Project.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/SequenceEditor.h"
#include "tests/sequencing/RecordingMachine.h"

namespace sequencing_test {

inline constexpr const char* kRecorderType = "CorvPlug::Test Recorder";
inline constexpr const char* kPadsType = "CorvPlug::Test Pads";
inline constexpr const char* kTwoPortsType = "CorvPlug::Test Two Ports";
inline constexpr const char* kCustomType = "CorvPlug::Test Custom";

class CSequencingRig {
public:
    /// withMaster: starts as a new project does, with the master.
    explicit CSequencingRig(int blockSize = 256, int sampleRate = 44100, bool withMaster = true);
    ~CSequencingRig();

    /// A machine of a registered type, placed and known to both editors.
    CMachineContainer* Add(const char* identifier, const char* name, int x = 0, int y = 0);
    template <class Machine = CRecordingMachine>
    Machine* Add(const char* identifier, const char* name, CMachineContainer** container)
    {
        *container = Add(identifier, name);
        return static_cast<Machine*>((*container)->machine);
    }
    CRecordingMachine* AddRecorder(const char* name, const char* identifier = kRecorderType);
    static CMachineContainer* ContainerOf(CMachine* machine)
    {
        return static_cast<CMachineContainer*>(machine->container);
    }
    static CConnector* ControlIn(CMachine* machine, int input = 0);
    /// A pattern of the machine's first control input made through the
    /// pattern editor (Add Pattern), current afterwards.
    CPattern* AddPattern(CMachine* machine, int lengthUnits = 16, int input = 0);

    /// Tempo and ticks per beat, as the tool bar sets them.
    void SetTempo(double beatsPerMinute, double ticksPerBeat);
    /// Renders blocks on this thread.
    void Render(int blocks);

    /// Messages the reader reported.
    std::vector<std::string> reports;

    int blockSize;
    int sampleRate;
    std::unique_ptr<CCorvHost> host;
    std::unique_ptr<CMachineRegistry> registry;
    std::unique_ptr<CStudio> studio;
    std::unique_ptr<CPatternEditor> patternEditor;
    std::unique_ptr<CSequenceEditor> sequenceEditor;
    std::unique_ptr<CProject> project;
    std::unique_ptr<COfflineDriver> driver;
};

} // namespace sequencing_test
