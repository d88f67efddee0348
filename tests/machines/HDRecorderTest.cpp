// The recorder panel: rows as machines come and go, starting and stopping
// every track at once while the audio thread renders, song recording, and a
// take that survives the death of the process recording it.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include "tests/machines/ProgramRun.h"
#include "tests/machines/RecorderRig.h"

using machines_test::CRecorderRig;
using machines_test::Soxi;

TEST(HDRecorder, RowsFollowTheTrackMachinesAndMoveUpWhenOneGoes)
{
    CRecorderRig rig;
    auto* unnamed = static_cast<CHDTrackMachine*>(rig.monoInfo.CreateMachine());
    EXPECT_EQ(unnamed->Row()->NameLabel(), "Track:");
    EXPECT_EQ(unnamed->Row()->FileLabel(), "File: ''");
    unnamed->Release();
    EXPECT_EQ(rig.recorder.RowCount(), 0);

    CHDTrackMachine* first = rig.AddTrack("Drums", false);
    CHDTrackMachine* second = rig.AddTrack("Bass", true);
    CHDTrackMachine* third = rig.AddTrack("Keys", false);
    ASSERT_EQ(rig.recorder.RowCount(), 3);
    EXPECT_EQ(rig.recorder.Row(2)->Top(), 84);
    EXPECT_EQ(rig.recorder.Row(1)->NameLabel(), "Name: Bass");

    // The middle one goes while recording: its file is closed with its
    // header, and the row below takes its place.
    const std::string path = rig.File("bass.wav");
    second->Row()->ChooseFile(path.c_str(), 1);
    ASSERT_TRUE(second->Row()->SetRecordStream(true));
    rig.studio.RenderQuietly(2);
    rig.Delete(second);
    ASSERT_EQ(rig.recorder.RowCount(), 2);
    EXPECT_EQ(rig.recorder.Row(0)->Machine(), first);
    EXPECT_EQ(rig.recorder.Row(1)->Machine(), third);
    EXPECT_EQ(rig.recorder.Row(1)->Top(), 42);
    EXPECT_EQ(rig.recorder.RowIndexOf(third), 1);
    EXPECT_EQ(Soxi("-s", path), "882");
}

TEST(HDRecorder, TracksStartedAndStoppedTogetherHaveTheSameFrameCount)
{
    CRecorderRig rig(128, 44100);
    auto* tone = rig.studio.Add<engine_test::CSineSource>("Tone", true, 220.0, 0.5);
    std::string paths[3];
    CHDTrackMachine* tracks[3];
    for (int i = 0; i < 3; ++i) {
        tracks[i] = rig.AddTrack(("Track " + std::to_string(i + 1)).c_str(), i != 1);
        rig.studio.Connect(tone, 0, tracks[i], CHDTrackMachine::kLineIn);
        paths[i] = rig.File(("track" + std::to_string(i) + ".wav").c_str());
        tracks[i]->Row()->ChooseFile(paths[i].c_str(), i == 2 ? 2 : 1);
    }
    CHDTrackMachine* unarmed = rig.AddTrack("No File", false);
    EXPECT_EQ(rig.recorder.ArmedCount(), 3);

    // The audio thread renders on while the panel starts and stops all.
    std::atomic<bool> rendering{true};
    std::thread audio([&] {
        while (rendering.load())
            rig.studio.RenderQuietly(1);
    });
    EXPECT_TRUE(rig.recorder.StartAll().empty());   // the unarmed track stays idle, silently
    EXPECT_TRUE(rig.recorder.IsGlobalToggleOn());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (tracks[0]->Row()->FramesWritten() < 128 * 20 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    rig.recorder.StopAll();
    rendering.store(false);
    audio.join();

    EXPECT_FALSE(rig.recorder.IsGlobalToggleOn());
    EXPECT_FALSE(unarmed->Row()->IsToggleOn());
    const std::uint32_t frames = tracks[0]->Row()->FramesWritten();
    ASSERT_GE(frames, 128u * 20u);
    EXPECT_EQ(frames % 128, 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tracks[i]->Row()->FramesWritten(), frames) << i;
        EXPECT_EQ(Soxi("-s", paths[i]), std::to_string(frames)) << i;
        EXPECT_FALSE(tracks[i]->Row()->IsToggleOn());
    }
    EXPECT_EQ(Soxi("-c", paths[1]), "1");
    EXPECT_EQ(Soxi("-b", paths[2]), "16");
}

TEST(HDRecorder, SongRecordingStartsAndStopsEveryTrackAndReportsFilesItCannotCreate)
{
    CRecorderRig rig(256, 44100);
    CHDTrackMachine* good = rig.AddTrack("Good", true);
    CHDTrackMachine* bad = rig.AddTrack("Bad", true);
    const std::string path = rig.File("song.wav");
    good->Row()->ChooseFile(path.c_str(), 1);
    bad->Row()->ChooseFile("/nonexistent-corvane-folder/song.wav", 1);

    const std::vector<std::string> failures = rig.recorder.StartAll();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "Can't Open File </nonexistent-corvane-folder/song.wav>: No such file or directory");
    EXPECT_TRUE(good->Row()->IsRecording());
    EXPECT_FALSE(bad->Row()->IsToggleOn());
    rig.recorder.StopAll();

    rig.recorder.OnSongRecording(true);
    EXPECT_TRUE(good->Row()->IsRecording());
    EXPECT_EQ(good->Row()->RecordedSeconds(), 0.0);   // a new take
    rig.studio.RenderQuietly(3);
    rig.recorder.OnSongRecording(false);
    EXPECT_FALSE(good->Row()->IsRecording());
    EXPECT_EQ(Soxi("-s", path), "768");
    rig.recorder.Refresh(0);
    EXPECT_EQ(good->Row()->TimeDisplay().Text(), "00:00:00.017");   // 768 / 44100 s
}

TEST(HDRecorder, AProcessKilledMidTakeLeavesAFileThatReadsUpToTheLastHeaderUpdate)
{
    const std::string helper = CORVANE_HD_CRASH_HELPER;
    CRecorderRig rig;   // only for its scratch folder
    const std::string path = rig.File("killed.wav");
    machines_test::CChildProcess child;
    ASSERT_TRUE(child.Start({helper, path}));
    const std::string line = child.ReadLine(std::chrono::seconds(20));
    ASSERT_EQ(line.rfind("header ", 0), 0u) << line;
    const std::uint32_t headerFrames = static_cast<std::uint32_t>(std::stoul(line.substr(7)));
    EXPECT_EQ(child.Kill(), SIGKILL);

    // More was written after the update than the header counts; readers go
    // by the header, so the take reads as it stood then.
    const Bytes bytes = ReadFile(path);
    EXPECT_GT(bytes.size(), 44u + headerFrames * 8u);
    EXPECT_EQ(Read32(bytes, 40), headerFrames * 8u);
    EXPECT_EQ(Soxi("-s", path), std::to_string(headerFrames));
    EXPECT_EQ(Soxi("-c", path), "2");
    // The helper records a ramp: the last frame the header counts is there.
    float last[2] = {0, 0};
    std::memcpy(last, bytes.data() + 44 + (headerFrames - 1) * 8u, 8);
    EXPECT_EQ(last[0], static_cast<float>((headerFrames - 1) / 1.0e6));
    EXPECT_EQ(last[1], -last[0]);
}
