#include "tests/sequencing/SequencingRig.h"

#include "machines/BuiltinMachines.h"
#include "sequencing/StudioPlayback.h"

namespace sequencing_test {

CSequencingRig::CSequencingRig(int blockSize, int sampleRate, bool withMaster)
    : blockSize(blockSize), sampleRate(sampleRate)
{
    host = std::make_unique<CCorvHost>(blockSize, sampleRate, 0);
    registry = std::make_unique<CMachineRegistry>();
    host->SetRegistry(registry.get());
    RegisterBuiltinMachines(*host, *registry);
    registry->Register(new CRecordingMachineInfo(host.get(), "Test Recorder", kRecorderType, 4, 0));
    registry->Register(new CRecordingMachineInfo(host.get(), "Test Pads", kPadsType, 2, 11));
    registry->Register(new CRecordingMachineInfo(host.get(), "Test Two Ports", kTwoPortsType, 4, 0,
                                                 CRecordingMachineInfo::Kind::Recorder, true));
    registry->Register(new CRecordingMachineInfo(host.get(), "Test Custom", kCustomType, 0, 0,
                                                 CRecordingMachineInfo::Kind::CustomState));

    studio = std::make_unique<CStudio>(*host);
    patternEditor = std::make_unique<CPatternEditor>(*host);
    sequenceEditor = std::make_unique<CSequenceEditor>(*host, *patternEditor);
    InstallPlayback(*studio, *patternEditor, *sequenceEditor);
    project = std::make_unique<CProject>(*host, *registry, *studio, *patternEditor, *sequenceEditor);
    project->reporter = [this](const std::string& message) { reports.push_back(message); };

    driver = std::make_unique<COfflineDriver>(sampleRate, blockSize, 2);
    driver->SetCallback(AudioCallback{&CStudio::AudioCallback, studio.get()});
    driver->Start();

    if (withMaster) {
        CMachineContainer* master = studio->CreateMaster(*registry);
        AddMachineToEditors(*patternEditor, *sequenceEditor, master);
    }
}

CSequencingRig::~CSequencingRig()
{
    driver->Stop();
    // The studio first: its machines' deletion still reaches the editors.
    studio.reset();
}

CMachineContainer* CSequencingRig::Add(const char* identifier, const char* name, int x, int y)
{
    CMachineInfo* descriptor = registry->FindByIdentifier(identifier);
    CMachineContainer* container = studio->AddMachine(descriptor->CreateMachine(), descriptor, name, x, y);
    AddMachineToEditors(*patternEditor, *sequenceEditor, container);
    return container;
}

CRecordingMachine* CSequencingRig::AddRecorder(const char* name, const char* identifier)
{
    return static_cast<CRecordingMachine*>(Add(identifier, name)->machine);
}

CConnector* CSequencingRig::ControlIn(CMachine* machine, int input)
{
    const std::vector<CConnector*> inputs = CPatternEditor::ControlInputsOf(ContainerOf(machine));
    return inputs[static_cast<std::size_t>(input)];
}

CPattern* CSequencingRig::AddPattern(CMachine* machine, int lengthUnits, int input)
{
    patternEditor->SelectMachine(ContainerOf(machine));
    patternEditor->SelectPort(ControlIn(machine, input));
    // The box resizes the current pattern, which is the new one by then.
    CPattern* pattern = patternEditor->AddPattern();
    patternEditor->SetPatternLength(lengthUnits);
    return pattern;
}

void CSequencingRig::SetTempo(double beatsPerMinute, double ticksPerBeat)
{
    studio->Lock().Lock();
    host->SetTempo(beatsPerMinute);
    host->SetTicksPerBeat(ticksPerBeat);
    studio->Lock().Unlock();
}

void CSequencingRig::Render(int blocks)
{
    driver->Render(blocks);
}

} // namespace sequencing_test
