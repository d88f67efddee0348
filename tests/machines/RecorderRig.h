#pragma once
// A studio with a recorder panel, built the way the program builds one:
// the panel first, the studio after it (so machines go before the panel),
// recorder tracks created through their real descriptors.

#include <string>

#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"
#include "machines/HDTrackMachine.h"
#include "tests/host/TestMachines.h"
#include "tests/samples/WavTestFiles.h"

namespace machines_test {

class CRecorderRig {
public:
    explicit CRecorderRig(int blockSize = 441, int sampleRate = 44100)
        : studio(blockSize, 2, true, sampleRate), monoInfo(&studio.host, &recorder), stereoInfo(&studio.host, &recorder)
    {
        recorder.SetBlockLock(&studio.studio->Lock());
    }

    CHDTrackMachine* AddTrack(const char* name, bool stereo)
    {
        CMachineInfo& info = stereo ? static_cast<CMachineInfo&>(stereoInfo) : monoInfo;
        auto* machine = static_cast<CHDTrackMachine*>(info.CreateMachine());
        studio.studio->AddMachine(machine, &info, name, 0, 0);
        return machine;
    }

    void Delete(CMachine* machine) { studio.studio->DeleteMachine(engine_test::CEngineStudio::ContainerOf(machine)); }

    std::string File(const char* name) const { return folder.File(name); }

    TemporaryFolder folder;
    CHDRecorder recorder;
    engine_test::CEngineStudio studio;
    CHDTrackMachineInfoMono monoInfo;
    CHDTrackMachineInfoStereo stereoInfo;
};

} // namespace machines_test
