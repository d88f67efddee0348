// The studio program itself killed while a recorder track records: a
// project with a stereo recorder track on a synthesizer, rendered by
// `corvane --render` (which records every track that has a file) and
// killed with SIGKILL at random moments of the take. Each file left behind
// must be a valid WAV file whose header counts only frames on disk, and
// those frames must be the ones a whole take holds, sample for sample.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "framework/PlugInit.h"
#include "framework/Port.h"
#include "host/MachineContainer.h"
#include "project/ProjectCommands.h"
#include "sequencing/Pattern.h"
#include "sequencing/SequenceEditor.h"
#include "project/ProjectWriter.h"
#include "tests/machines/ProgramRun.h"
#include "tests/machines/TakeHeaderCheck.h"
#include "tests/samples/WavTestFiles.h"
#include "tests/sequencing/SequencingRig.h"

extern "C" void CorvPlugInit(ModuleHandle module, CHost* host);

using machines_test::CChildProcess;
using machines_test::RunProgram;
using machines_test::Soxi;

namespace {

constexpr std::uint32_t kFrameBytes = machines_test::kTakeFrameBytes;

/// A RazuZuri playing a pattern of long notes into the master, and a stereo
/// recorder track writing take from the synthesizer's output; saved as
/// path. Eight seconds of song (16 units of 4 ticks, an eighth of a second
/// each at 120 BPM and 4 ticks a beat): a few header updates, and short
/// enough for a test.
void WriteRecordingProject(const std::string& path, const std::string& take)
{
    sequencing_test::CSequencingRig rig;
    CorvPlugInit(nullptr, rig.host.get());
    rig.SetTempo(120.0, 4.0);
    CMachineContainer* synth = rig.Add("CorvPlug::KV RazuZuri", "Lead", 100, 100);
    CMachineContainer* track = rig.Add("CorvPlug::KV HD Recorder Track (Stereo)", "Take", 200, 200);
    std::vector<char> state(1028, '\0');
    std::memcpy(state.data(), "MTDH", 4);
    std::memcpy(state.data() + 4, take.c_str(), take.size());
    track->machine->LoadState(state.data(), static_cast<int>(state.size()), false);
    ASSERT_NE(rig.studio->Connect(synth->connectors[1], rig.studio->MasterContainer()->connectors[0], 0.5), nullptr);
    ASSERT_NE(rig.studio->Connect(synth->connectors[1], track->connectors[0]), nullptr);
    CPattern* melody = rig.AddPattern(synth->machine, 16);
    for (int note = 0; note < 8; ++note)
        melody->AddNote(note * 8, 6, 48 + 3 * note);
    rig.sequenceEditor->PlaceEntry(0, 0, melody);
    WriteProject(*rig.project, path);
}

std::uintmax_t SizeOf(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

} // namespace

TEST(RecorderProgramKill, TheProgramKilledAtRandomMomentsOfARenderLeavesValidTakes)
{
    TemporaryFolder folder;
    const std::string project = folder.File("recording.cvx");
    const std::string take = folder.File("take.wav");
    const std::string mix = folder.File("mix.wav");
    WriteRecordingProject(project, take);
    if (HasFatalFailure())
        return;
    // The same noise in every run, so every take is the same take.
    setenv("CORVANE_SEED", "7", 1);
    const std::vector<std::string> render = {CORVANE_PROGRAM, "--render", project, "--output", mix, "--quiet"};

    // A whole take, timed from its first frames to the program's end.
    CChildProcess first;
    ASSERT_TRUE(first.Start(render));
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (SizeOf(take) <= 44u && std::chrono::steady_clock::now() < bound)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(first.Wait(std::chrono::seconds(120)), 0);
    const auto takeMilliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
    const Bytes whole = ReadFile(take);
    const std::uint32_t wholeFrames = machines_test::ExpectValidTakeHeader(whole, take);
    ASSERT_GT(wholeFrames, 44100u) << "the track recorded the song";
    ASSERT_EQ(whole.size(), 44u + wholeFrames * kFrameBytes) << "a finished take counts all it holds";

    // Kills anywhere in the first four fifths of a take.
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> milliseconds(0, takeMilliseconds * 4 / 5);
    for (int round = 0; round < 3; ++round) {
        const long delay = milliseconds(random);
        SCOPED_TRACE(("killed " + std::to_string(delay) + " ms into the take").c_str());
        std::filesystem::remove(take);
        CChildProcess child;
        ASSERT_TRUE(child.Start(render));
        // The take has begun once its file holds more than a header.
        const auto started = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (SizeOf(take) <= 44u && std::chrono::steady_clock::now() < started)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_GT(SizeOf(take), 44u);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        const int signal = child.Kill();
        if (signal != SIGKILL)
            continue;   // this render was quicker than the first; nothing to judge

        const Bytes left = ReadFile(take);
        const std::uint32_t frames = machines_test::ExpectValidTakeHeader(left, take);
        ASSERT_LE(frames, wholeFrames);
        EXPECT_EQ(std::memcmp(left.data() + 44, whole.data() + 44, frames * kFrameBytes), 0)
            << "the counted frames are those of a whole take";
    }
}
