// The bundled demo renders sample for sample as the stored figure says: the
// real program renders it with a fixed seed into a float WAV file, and a
// checksum of the file must equal kDemoChecksum. A change of the engine's
// scheduling must never move it; a deliberate change of a machine's sound
// does, and then the figure is regenerated with
//   CORVANE_PRINT_RENDER_CHECKSUMS=1 build-test/tests/app/demo_render_checksum_test
// and the printed line pasted over kDemoChecksum.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

constexpr std::uint64_t kDemoChecksum = 0x72fa48458e94f2a8ull;

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

/// Renders the demo with seed 7 into folder/name and returns the file.
std::string RenderDemo(const std::string& folder, const std::string& name)
{
    const std::string out = folder + "/" + name;
    const std::string command = "XDG_CONFIG_HOME=" + folder + "/config CORVANE_REALTIME=0 CORVANE_SEED=7 " +
                                std::string(CORVANE_BINARY) + " --render " + BUNDLED_DEMO + " -o " + out +
                                " --format float --rate 44100 --block 256 --tail 1 --quiet >" + folder +
                                "/log.txt 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(folder + "/log.txt");
    return ReadBytes(out);
}

} // namespace

TEST(DemoRenderChecksum, TheDemoRendersAsStored)
{
    char pattern[] = "/tmp/corvane-demo-sum-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string first = RenderDemo(folder, "first.wav");
    const std::string second = RenderDemo(folder, "second.wav");
    std::filesystem::remove_all(folder);
    ASSERT_GT(first.size(), 44u);
    EXPECT_TRUE(first == second) << "two renders with one seed differ";

    const std::uint64_t checksum = Fnv1a(first);
    const char* flag = std::getenv("CORVANE_PRINT_RENDER_CHECKSUMS");
    if (flag != nullptr && flag[0] != '\0' && std::strcmp(flag, "0") != 0) {
        std::printf("constexpr std::uint64_t kDemoChecksum = 0x%016" PRIx64 "ull;\n", checksum);
        return;
    }
    EXPECT_EQ(checksum, kDemoChecksum) << "the demo's samples differ from the stored figure";
}
