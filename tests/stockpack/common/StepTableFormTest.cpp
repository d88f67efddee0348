// The step table the build writes into the library's resource: whatever
// recipe produced its values, the oscillators rely on its form (32 zero
// crossings, 256 points per sample, 16385 values rising from about 0 to
// exactly 1.0) and on how well it stops what would alias.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <iterator>
#include <vector>

#include "stockpack/common/StepTableFormat.h"
#include "stockpack/dsp/Fft.h"

namespace {

std::vector<unsigned char> ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(StepTableResource, KeepsTheFormTheOscillatorsReadAndStopsWhatWouldAlias)
{
    const std::vector<unsigned char> bytes = ReadFile(CORVANE_STEP_TABLE_FILE);
    ASSERT_EQ(bytes.size(), 12u + 8u * 16385u);
    EXPECT_EQ(bytes[0], 32);   // little-endian header: crossings, oversampling, count
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[5], 1);
    EXPECT_EQ(bytes[8], 0x01);
    EXPECT_EQ(bytes[9], 0x40);
    const auto table = ParseStepTable(bytes.data(), bytes.size());
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->zeroCrossings, 32);
    ASSERT_EQ(table->oversampling, 256);
    const std::vector<double>& step = table->values;
    ASSERT_EQ(step.size(), 16385u);

    // From about 0 to exactly 1.0, overshooting on the way.
    EXPECT_LT(std::fabs(step.front()), 1e-6);
    EXPECT_EQ(step.back(), 1.0);
    const double peak = *std::max_element(step.begin(), step.end());
    EXPECT_GT(peak, 1.0);
    EXPECT_LT(peak, 1.25);

    // Its derivative, the band-limited impulse, on a grid fine enough to see
    // between the table's own bins. Frequencies are in output sample rates.
    const int n = 65536;
    std::vector<std::complex<double>> impulse(n);
    impulse[0] = step[0];
    for (std::size_t i = 1; i < step.size(); ++i)
        impulse[i] = step[i] - step[i - 1];
    double front = 0.0, energy = 0.0;
    for (std::size_t i = 0; i < step.size(); ++i) {
        energy += std::norm(impulse[i]);
        if (i < 4 * 256)
            front += std::norm(impulse[i]);
    }
    CFft(n).Forward(impulse.data());
    const double dc = std::abs(impulse[0]);
    auto worstDb = [&](double from, double to) {
        double worst = 0.0, best = 1e300;
        for (int k = static_cast<int>(from * n / 256.0); k <= static_cast<int>(to * n / 256.0); ++k) {
            worst = std::max(worst, std::abs(impulse[static_cast<std::size_t>(k)]));
            best = std::min(best, std::abs(impulse[static_cast<std::size_t>(k)]));
        }
        return std::pair{20.0 * std::log10(worst / dc), 20.0 * std::log10(best / dc)};
    };
    EXPECT_NEAR(dc, 1.0, 1e-9);
    // Flat through the audio band of a 44.1 kHz output (0.4 fs = 17.6 kHz).
    const auto [passHigh, passLow] = worstDb(0.0, 0.4);
    EXPECT_LT(passHigh, 0.01);
    EXPECT_GT(passLow, -0.01);
    // Partials above 0.6 fs fold back into the audio band: a wrapped
    // cepstrum lets them through at -52 dB (-68 dB above fs), the padded
    // one at -87 dB (-125 dB).
    EXPECT_LT(worstDb(0.6, 127.0).first, -80.0);
    EXPECT_LT(worstDb(1.0, 127.0).first, -110.0);

    // Minimum phase: most of the impulse within 4 samples of the edge.
    EXPECT_GT(front / energy, 0.5);
}
