// One recorder track at a time: what it writes, what it passes on, and what
// it refuses. Files are read back byte by byte and through sox's soxi.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/Error.h"
#include "tests/machines/ProgramRun.h"
#include "tests/machines/RecorderRig.h"

using machines_test::CRecorderRig;
using machines_test::Soxi;

namespace {

float FloatAt(const Bytes& bytes, std::size_t at)
{
    float value = 0.0f;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

} // namespace

TEST(HDTrack, OneSecondOfStereoFloatIsTheHeaderAnd352800BytesAndReads000001000)
{
    CRecorderRig rig(441, 44100);
    auto* tone = rig.studio.Add<engine_test::CSineSource>("Tone", true, 441.0, 0.5);
    CHDTrackMachine* track = rig.AddTrack("Take", true);
    auto* probe = rig.studio.Add<engine_test::CProbe>("Listener", true);
    probe->Capture(44100);
    ASSERT_NE(rig.studio.Connect(tone, 0, track, CHDTrackMachine::kLineIn), nullptr);
    ASSERT_NE(rig.studio.Connect(track, CHDTrackMachine::kLineOut, probe, 0), nullptr);

    CHDTrack* row = track->Row();
    const std::string path = rig.File("take.wav");
    ASSERT_TRUE(row->ChooseFile(path.c_str(), 1));
    EXPECT_EQ(row->FileLabel(), "File: '" + path + "'");
    ASSERT_TRUE(row->SetRecordStream(true));
    EXPECT_TRUE(row->IsToggleOn());
    rig.studio.RenderQuietly(100);
    row->SetRecordStream(false);
    EXPECT_FALSE(row->IsToggleOn());

    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 352800u);
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(Read32(bytes, 4), 36u + 352800u);
    EXPECT_EQ(Read16(bytes, 20), 3);   // float
    EXPECT_EQ(Read16(bytes, 22), 2);
    EXPECT_EQ(Read32(bytes, 24), 44100u);
    EXPECT_EQ(Read32(bytes, 40), 352800u);
    EXPECT_EQ(Soxi("-s", path), "44100");
    EXPECT_EQ(Soxi("-c", path), "2");
    EXPECT_EQ(Soxi("-r", path), "44100");
    EXPECT_EQ(Soxi("-b", path), "32");
    // What was recorded is what the track passed on, interleaved L, R.
    ASSERT_EQ(probe->capturedLeft.size(), 44100u);
    for (std::size_t frame : {0u, 1u, 4410u, 44099u}) {
        EXPECT_EQ(FloatAt(bytes, 44 + 8 * frame), static_cast<float>(probe->capturedLeft[frame])) << frame;
        EXPECT_EQ(FloatAt(bytes, 48 + 8 * frame), static_cast<float>(probe->capturedRight[frame])) << frame;
    }

    EXPECT_EQ(row->FramesWritten(), 44100u);
    EXPECT_EQ(row->RecordedSeconds(), 1.0);
    row->Refresh(0);
    EXPECT_EQ(row->TimeDisplay().Text(), "00:00:01.000");
}

TEST(HDTrack, TimeDisplayShowsHoursMinutesSecondsAndMillisecondsZeroPadded)
{
    char text[CTimeDisplay::kTextLength + 1];
    const struct {
        double seconds;
        const char* shown;
    } cases[] = {
        {0.0, "00:00:00.000"},       {0.007, "00:00:00.007"},   {0.25, "00:00:00.250"},
        {61.5, "00:01:01.500"},      {3723.125, "01:02:03.125"}, {360000.0 + 59.0, "00:00:59.000"},   // hours modulo 100
        {99 * 3600.0 + 59 * 60.0 + 59.5, "99:59:59.500"},       {-3.0, "00:00:00.000"},
    };
    for (const auto& c : cases) {
        CTimeDisplay::Format(c.seconds, text);
        EXPECT_STREQ(text, c.shown) << c.seconds;
    }
    CTimeDisplay display;
    EXPECT_FALSE(display.SetTime(0.0));   // already showing it: no redraw
    EXPECT_TRUE(display.SetTime(2.5));
    EXPECT_EQ(display.Text(), "00:00:02.500");
}

TEST(HDTrack, HalfGainHalvesWhatPassesAndWhatIsRecordedOnBothChannels)
{
    CRecorderRig rig(256, 44100);
    auto* source = rig.studio.Add<engine_test::CConstantSource>("Level", true, 0.8, -0.6);
    CHDTrackMachine* track = rig.AddTrack("Half", true);
    auto* probe = rig.studio.Add<engine_test::CProbe>("Listener", true);
    probe->Capture(1024);
    rig.studio.Connect(source, 0, track, CHDTrackMachine::kLineIn);
    rig.studio.Connect(track, CHDTrackMachine::kLineOut, probe, 0);

    CHDTrack* row = track->Row();
    row->SetVolume(0.5);
    const std::string path = rig.File("half.wav");
    row->ChooseFile(path.c_str(), 1);
    ASSERT_TRUE(row->SetRecordStream(true));
    rig.studio.RenderQuietly(4);
    row->SetRecordStream(false);

    ASSERT_EQ(probe->capturedLeft.size(), 1024u);
    for (std::size_t s = 0; s < 1024; s += 255) {
        EXPECT_DOUBLE_EQ(probe->capturedLeft[s], 0.4);
        EXPECT_DOUBLE_EQ(probe->capturedRight[s], -0.3);
    }
    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 1024u * 8u);
    EXPECT_EQ(FloatAt(bytes, 44), 0.4f);
    EXPECT_EQ(FloatAt(bytes, 48), -0.3f);
    EXPECT_EQ(FloatAt(bytes, bytes.size() - 8), 0.4f);
    // The meter reads the scaled peaks in dB.
    EXPECT_NEAR(row->Meter().Level(0), 20.0 * std::log10(0.4), 1e-9);
    EXPECT_NEAR(row->Meter().Level(1), 20.0 * std::log10(0.3), 1e-9);
}

TEST(HDTrack, MonoSixteenBitTrackWritesOneChannelAndShowsItsPeakOnBothSides)
{
    CRecorderRig rig(256, 22050);
    auto* source = rig.studio.Add<engine_test::CConstantSource>("Level", false, 0.5);
    CHDTrackMachine* track = rig.AddTrack("Mono", false);
    rig.studio.Connect(source, 0, track, CHDTrackMachine::kLineIn);
    CHDTrack* row = track->Row();
    const std::string path = rig.File("mono.wav");
    row->ChooseFile(path.c_str(), 2);
    EXPECT_EQ(row->FormatTag(), CHDTrack::kFormatPcm16);
    ASSERT_TRUE(row->SetRecordStream(true));
    rig.studio.RenderQuietly(3);
    row->SetRecordStream(false);

    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 768u * 2u);
    EXPECT_EQ(Read16(bytes, 20), 1);
    EXPECT_EQ(Read16(bytes, 22), 1);
    EXPECT_EQ(Soxi("-r", path), "22050");
    EXPECT_EQ(Soxi("-b", path), "16");
    EXPECT_EQ(Soxi("-s", path), "768");
    EXPECT_EQ(static_cast<std::int16_t>(Read16(bytes, 44)), 16383);   // 0.5 x 32767, truncated
    EXPECT_EQ(row->Meter().Level(0), row->Meter().Level(1));
}

TEST(HDTrack, ChoosingANewFileWhileRecordingEndsTheOldOneWithAValidHeader)
{
    CRecorderRig rig(256, 44100);
    auto* source = rig.studio.Add<engine_test::CConstantSource>("Level", true, 0.25, 0.25);
    CHDTrackMachine* track = rig.AddTrack("Switch", true);
    rig.studio.Connect(source, 0, track, CHDTrackMachine::kLineIn);
    CHDTrack* row = track->Row();
    const std::string first = rig.File("first.wav");
    const std::string second = rig.File("second.wav");
    row->ChooseFile(first.c_str(), 1);
    ASSERT_TRUE(row->SetRecordStream(true));
    rig.studio.RenderQuietly(5);

    ASSERT_TRUE(row->ChooseFile(second.c_str(), 2));
    EXPECT_FALSE(row->IsRecording());
    EXPECT_FALSE(row->IsToggleOn());
    EXPECT_EQ(Soxi("-s", first), "1280");
    EXPECT_EQ(Soxi("-e", first), "Floating Point PCM");
    EXPECT_EQ(ReadFile(first).size(), 44u + 1280u * 8u);
    // Stopped: further blocks go nowhere until the toggle is on again.
    rig.studio.RenderQuietly(2);
    EXPECT_EQ(ReadFile(first).size(), 44u + 1280u * 8u);
    ASSERT_TRUE(row->SetRecordStream(true));
    rig.studio.RenderQuietly(1);
    row->SetRecordStream(false);
    EXPECT_EQ(Soxi("-s", second), "256");
    EXPECT_EQ(Soxi("-b", second), "16");
}

TEST(HDTrack, AFileThatCannotBeCreatedLeavesTheTrackIdleAndSaysWhy)
{
    CRecorderRig rig;
    CHDTrackMachine* track = rig.AddTrack("Nowhere", false);
    CHDTrack* row = track->Row();
    EXPECT_FALSE(row->SetRecordStream(true));   // no file chosen yet
    EXPECT_FALSE(row->IsToggleOn());
    EXPECT_EQ(row->LastError(), "Can't Open File <>: no file chosen");

    row->ChooseFile("/nonexistent-corvane-folder/take.wav", 1);
    EXPECT_FALSE(row->SetRecordStream(true));
    EXPECT_FALSE(row->IsRecording());
    EXPECT_EQ(row->LastError(), "Can't Open File </nonexistent-corvane-folder/take.wav>: No such file or directory");
    rig.studio.RenderQuietly(2);   // passes audio on as ever
    EXPECT_EQ(row->FramesWritten(), 0u);

    // Longer than the row's 1023 characters: refused, not cut short.
    const std::string tooLong = "/tmp/" + std::string(1100, 'x') + ".wav";
    EXPECT_FALSE(row->ChooseFile(tooLong.c_str(), 1));
    EXPECT_EQ(row->FileName(), "/nonexistent-corvane-folder/take.wav");
}

TEST(HDTrack, OpenAppendAndCloseRefuseToRunWithoutTheTrackLock)
{
    CRecorderRig rig;
    CHDTrack* row = rig.AddTrack("Unlocked", false)->Row();
    const double block[4] = {0, 0, 0, 0};
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const CError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { row->Open(); }), "HD Track Not Locked On Open");
    EXPECT_EQ(message([&] { row->Append(block, nullptr, 4); }), "HD Track Not Locked On Write");
    EXPECT_EQ(message([&] { row->Close(); }), "HD Track Not Locked On Close");
    row->Lock();
    EXPECT_EQ(message([&] { row->Close(); }), "no error");
    row->Unlock();
}

TEST(HDTrack, StateIsMTDHAndTheFileNameOnly)
{
    CRecorderRig rig;
    CHDTrackMachine* track = rig.AddTrack("Saved", true);
    CHDTrack* row = track->Row();
    EXPECT_EQ(row->NameLabel(), "Name: Saved");
    row->ChooseFile("/tmp/saved take.wav", 2);
    row->SetVolume(0.3);

    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    track->SaveState(&data, &length, &hostFormat);
    ASSERT_EQ(length, 1028);
    EXPECT_FALSE(hostFormat);
    const auto* bytes = static_cast<const unsigned char*>(data);
    EXPECT_EQ(std::memcmp(bytes, "MTDH", 4), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 4), "/tmp/saved take.wav");
    for (int i = 4 + 19; i < 1028; ++i)
        ASSERT_EQ(bytes[i], 0) << i;

    // Restored by a new machine: the file name, but float format and unity
    // gain as every new track has.
    auto* restored = static_cast<CHDTrackMachine*>(rig.stereoInfo.CreateMachine());
    rig.studio.studio->AddMachine(restored, &rig.stereoInfo, "Restored", 0, 0, data, length, false);
    EXPECT_EQ(restored->Row()->FileName(), "/tmp/saved take.wav");
    EXPECT_EQ(restored->Row()->FileLabel(), "File: '/tmp/saved take.wav'");
    EXPECT_EQ(restored->Row()->FormatTag(), CHDTrack::kFormatFloat32);
    EXPECT_EQ(restored->Row()->GetVolume(), 1.0);

    // Ignored: the host's format, a short block, another magic.
    std::vector<unsigned char> other(bytes, bytes + 1028);
    std::free(data);
    other[4] = 'Z';
    restored->LoadState(other.data(), 1028, true);
    restored->LoadState(other.data(), 1027, false);
    other[0] = 'X';
    restored->LoadState(other.data(), 1028, false);
    EXPECT_EQ(restored->Row()->FileName(), "/tmp/saved take.wav");
    // A name without its terminator is cut at 1023 characters.
    std::vector<unsigned char> unterminated(1028, 'a');
    std::memcpy(unterminated.data(), "MTDH", 4);
    restored->LoadState(unterminated.data(), 1028, false);
    EXPECT_EQ(restored->Row()->FileName(), std::string(1023, 'a'));
}
