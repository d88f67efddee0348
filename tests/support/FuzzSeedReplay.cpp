// A fuzzer's seeds, and simple mutations of them, replayed through its
// LLVMFuzzerTestOneInput in the sanitizer test build, where gcc brings no
// libFuzzer: every reader meets its real files cut short and with bytes
// flipped on every `make test`, and the sanitizers judge each read. The
// coverage-guided search stays with `make fuzz`.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

void Feed(const std::vector<std::uint8_t>& bytes)
{
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

} // namespace

TEST(SeedReplay, EverySeedWholeCutShortAndWithBytesFlipped)
{
    char pattern[] = "/tmp/corvane-seeds-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    setenv("CORVANE_FUZZ_SEEDS", folder.c_str(), 1);
    if (LLVMFuzzerInitialize != nullptr) {
        int argc = 1;
        char name[] = "seed_replay";
        char* args[] = {name, nullptr};
        char** argv = args;
        LLVMFuzzerInitialize(&argc, &argv);
    }

    std::size_t seeds = 0;
    std::size_t inputs = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++seeds;
        Feed(seed);
        ++inputs;
        // Cut at eighths, and one and two bytes short of whole: the reads
        // of headers, counts and the last field.
        for (std::size_t eighth = 0; eighth < 8; ++eighth) {
            Feed(std::vector<std::uint8_t>(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(seed.size() * eighth / 8)));
            ++inputs;
        }
        for (std::size_t shortBy : {1u, 2u}) {
            if (seed.size() >= shortBy) {
                Feed(std::vector<std::uint8_t>(seed.begin(), seed.end() - static_cast<std::ptrdiff_t>(shortBy)));
                ++inputs;
            }
        }
        // Every byte of the first 64 (where sizes and counts sit) and 32
        // spread over the rest, each flipped and each set to 0xFF (the
        // largest counts and negative sizes).
        std::vector<std::size_t> places;
        for (std::size_t at = 0; at < std::min<std::size_t>(seed.size(), 64); ++at)
            places.push_back(at);
        for (std::size_t k = 0; seed.size() > 64 && k < 32; ++k)
            places.push_back(64 + (seed.size() - 64) * k / 32);
        for (const std::size_t at : places) {
            for (const bool flip : {true, false}) {
                std::vector<std::uint8_t> changed = seed;
                changed[at] = flip ? static_cast<std::uint8_t>(~changed[at]) : 0xFF;
                Feed(changed);
                ++inputs;
            }
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    std::printf("%zu seeds, %zu inputs read\n", seeds, inputs);
    EXPECT_GT(seeds, 0u) << "the fuzzer wrote no seeds";
}
