// The recorder when things go wrong around it, in real child processes: a
// disk that fills mid-take (a file-size limit) and a process killed at
// random moments. Either way the file left behind must be a valid WAV file
// whose header counts only frames that are on disk, and every frame the
// header counts must be the one recorded.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "tests/machines/ProgramRun.h"
#include "tests/machines/TakeHeaderCheck.h"
#include "tests/machines/RecorderRig.h"

using machines_test::CChildProcess;
using machines_test::CRecorderRig;
using machines_test::Soxi;

namespace {

constexpr std::uint32_t kFrameBytes = machines_test::kTakeFrameBytes;

/// Checks that path is a valid take of the helper's ramp and returns the
/// frames its header counts.
std::uint32_t ExpectValidRamp(const std::string& path)
{
    const Bytes bytes = ReadFile(path);
    const std::uint32_t frames = machines_test::ExpectValidTakeHeader(bytes, path);
    for (std::uint32_t n = 0; n < frames && 44u + (n + 1) * kFrameBytes <= bytes.size(); ++n) {
        float pair[2];
        std::memcpy(pair, bytes.data() + 44 + n * kFrameBytes, 8);
        if (pair[0] != static_cast<float>(n / 1.0e6) || pair[1] != -pair[0]) {
            ADD_FAILURE() << "frame " << n << " of " << frames << " is not the one recorded";
            break;
        }
    }
    return frames;
}

} // namespace

TEST(RecorderFaults, AFullDiskEndsTheTakeWithAMessageAndAFileThatCountsWhatItHolds)
{
    CRecorderRig rig;   // only for its scratch folder
    const std::string path = rig.File("full.wav");
    // Not a whole number of frames or blocks: the last write is cut short.
    const unsigned long limit = 300 * 1000 + 5;
    CChildProcess child;
    ASSERT_TRUE(child.Start({CORVANE_HD_CRASH_HELPER, "--limit", std::to_string(limit), path}));
    const std::string failure = child.ReadLine(std::chrono::seconds(60));
    const std::string frames = child.ReadLine(std::chrono::seconds(10));
    const std::string again = child.ReadLine(std::chrono::seconds(60));
    child.Kill();   // it ends by itself; this only waits for it

    EXPECT_EQ(failure, "failure Can't Write File <" + path + ">: File too large");
    EXPECT_EQ(again, "again 0") << "the failure is told once";
    const std::uint32_t counted = ExpectValidRamp(path);
    EXPECT_EQ(frames, "frames " + std::to_string(counted));
    EXPECT_EQ(counted, (limit - 44) / kFrameBytes) << "every whole frame that fitted is kept";
}

TEST(RecorderFaults, AProcessKilledAtRandomMomentsLeavesValidTakes)
{
    CRecorderRig rig;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> milliseconds(0, 1500);
    for (int round = 0; round < 4; ++round) {
        const int delay = milliseconds(random);
        SCOPED_TRACE(("killed " + std::to_string(delay) + " ms into the take").c_str());
        const std::string path = rig.File(("take" + std::to_string(round) + ".wav").c_str());
        CChildProcess child;
        ASSERT_TRUE(child.Start({CORVANE_HD_CRASH_HELPER, "--forever", path}));
        ASSERT_EQ(child.ReadLine(std::chrono::seconds(20)), "recording");
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        EXPECT_EQ(child.Kill(), SIGKILL);
        ExpectValidRamp(path);
    }
}
