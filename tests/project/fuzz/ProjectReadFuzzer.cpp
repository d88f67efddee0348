// libFuzzer target for the project reader: any bytes are read into a real
// project of the test machines, and must end in a project or in one of the
// reader's messages, never in a crash or a read past the data.
//
// With CORVANE_FUZZ_SEEDS naming an empty folder, valid projects of every
// version are written there first, for the fuzzer to start from.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/Error.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "tests/project/ProjectBytes.h"
#include "tests/project/ScratchFolder.h"
#include "tests/sequencing/SequencingRig.h"

using namespace project_test;
using namespace sequencing_test;

namespace {

std::unique_ptr<CSequencingRig> rig;

std::vector<unsigned char> RichSeed()
{
    CSequencingRig source;
    CRecordingMachine* synth = source.AddRecorder("Lead");
    CRecordingMachine* pads = source.AddRecorder("Pads", kPadsType);
    source.Add(kCustomType, "Custom");
    source.studio->Connect(CSequencingRig::ContainerOf(synth)->connectors[1],
                           source.studio->MasterContainer()->connectors[0], 0.5);
    CPattern* melody = source.AddPattern(synth, 2);
    melody->AddNote(0, 2, 60);
    melody->AddNote(3, 4, 64);
    melody->AddControlTrack(-1);
    melody->AddControlTrack(2);
    melody->ControlTrack(1)->SetPoint(1, 0.5f);
    CPattern* beat = source.AddPattern(pads, 1);
    beat->AddNote(1, 1, 3);
    source.sequenceEditor->PlaceEntry(0, 0, melody);
    source.sequenceEditor->PlaceEntry(1, 4, beat);
    source.project->notes = "seed";
    return EncodeProject(*source.project);
}

std::vector<unsigned char> LegacySeed(int version, int notesFlag)
{
    CProjectBytes file;
    file.Header(version, notesFlag, 120.0f);
    file.Int32(2);
    file.Machine("Master", "Master", 32, 32, 0, CProjectBytes::DefaultState({}));
    file.Machine("Lead", kRecorderType, 5, 70, 1, CProjectBytes::DefaultState({0.25, 0.5}));
    file.Cables({{1, 1, 0, 0, 0.5}}).Patterns({});
    file.Cables({}).Patterns({{0, 2, "Riff", 1, 0, {{0, 2, 60}}, {{-1, {{0.5f, 1}, {1.0f, 0}}}}}});
    file.Song(12, {{0, {{3, 0}}}});
    if (version >= 3 || (version == 2 && notesFlag == 1))
        file.Notes("old");
    return file.bytes;
}

void WriteSeeds(const std::string& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) || !std::filesystem::is_empty(folder, error))
        return;
    WriteBytes(folder + "/rich.cvx", RichSeed());
    for (int version = 0; version <= 3; ++version)
        WriteBytes(folder + "/version" + std::to_string(version) + ".cvx", LegacySeed(version, 1));
    WriteBytes(folder + "/version2-no-notes.cvx", LegacySeed(2, 0));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seeds = std::getenv("CORVANE_FUZZ_SEEDS"))
        WriteSeeds(seeds);
    rig = std::make_unique<CSequencingRig>(256, 44100, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ClearProject(*rig->project);
    rig->reports.clear();
    try {
        ReadProjectData(*rig->project, data, size, "fuzz.cvx");
        // What was read must also save.
        EncodeProject(*rig->project);
    } catch (const CError& error) {
        const std::string message = error.Message();
        if (message != "File 'fuzz.cvx' Is Corrupt" && message != "File 'fuzz.cvx' Has Incompatible Version Number") {
            std::fprintf(stderr, "unexpected message: %s\n", message.c_str());
            std::abort();
        }
    }
    return 0;
}
