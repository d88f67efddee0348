// `corvane --play` when its output goes away under it: a real JACK server
// of the test's own stopped four seconds into the demo, and an ALSA device
// whose writes fail. The program must say so once and end with exit code
// 1, instead of waiting for a song whose clock has stopped.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "tests/app/ChildRun.h"
#include "tests/drivers/jack/JackTestLock.h"
#include "tests/drivers/jack/JackTestServer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// What "within a second" becomes under the sanitizers on a busy machine: a
// bound that still tells an ending program from one that waits forever.
constexpr double kEndBoundSeconds = 15.0;

class DeviceLoss : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/corvane-faults-XXXXXX";
        folder = mkdtemp(pattern);
        fs::copy_file(BUNDLED_DEMO, folder + "/demo.cvx");
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::string ReadText(const std::string& name) const
    {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string folder;
};

std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(DeviceLoss, TheJackServerGoingEndsPlayingWithOneMessage)
{
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGKILL");
        jack_test::CJackTestLock lock;
        ASSERT_TRUE(lock.IsHeld());
        jack_test::CJackTestServer server;
        std::string why;
        ASSERT_TRUE(server.Start(48000, 256, 2, &why)) << why;

        Clock::time_point playing{};
        Clock::time_point stopped{};
        ChildRequest request;
        request.arguments = {"--play", folder + "/demo.cvx", "--driver", "jack"};
        request.timeoutSeconds = 120.0;
        request.whileRunning = [&](pid_t) {
            if (stopped != Clock::time_point{})
                return;
            if (playing == Clock::time_point{}) {
                if (ReadText("child-err.txt").find("Playing through") != std::string::npos)
                    playing = Clock::now();
                return;
            }
            if (Clock::now() - playing >= std::chrono::seconds(4)) {
                server.Stop(signal);
                stopped = Clock::now();
            }
        };
        const ChildResult result = RunCorvane(folder, request);
        ASSERT_NE(stopped, Clock::time_point{}) << "the server was never stopped\n" << result.err;
        const double ended = std::chrono::duration<double>(Clock::now() - stopped).count();

        EXPECT_EQ(DisorderOf(result), "");
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(CountOf(result.err, "Device Lost"), 1u) << result.err;
        EXPECT_LT(ended, kEndBoundSeconds) << result.err;
        const std::size_t at = result.err.find("Corvane: ");
        std::printf("server ended by signal %d: program ended %.2f s later, saying %s\n", signal, ended,
                    at == std::string::npos ? "" : result.err.substr(at, result.err.find('\n', at) - at).c_str());
    }
}

TEST_F(DeviceLoss, AnAlsaDeviceThatFailsItsWritesEndsPlayingWithOneMessage)
{
    // The program probes JACK at start, whose shared database must not be
    // opened beside another JACK test's server.
    jack_test::CJackTestLock lock;
    ASSERT_TRUE(lock.IsHeld());
    jack_test::PointJackNowhere();
    // The only device plays into /dev/full: every write fails.
    const std::string config = folder + "/asound.conf";
    std::ofstream(config) << "pcm.null { type null }\n"
                             "pcm.!default {\n"
                             "  type file  slave.pcm \"null\"  file \"/dev/full\"  format \"raw\"\n"
                             "  hint { show on  description \"Failing test output\" }\n"
                             "}\n";
    ChildRequest request;
    request.arguments = {"--play", folder + "/demo.cvx", "--driver", "alsa"};
    request.environment = {"ALSA_CONFIG_PATH=" + config};
    request.timeoutSeconds = 120.0;
    const ChildResult result = RunCorvane(folder, request);

    EXPECT_EQ(DisorderOf(result), "");
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(CountOf(result.err, "Device Lost"), 1u) << result.err;
}

} // namespace
